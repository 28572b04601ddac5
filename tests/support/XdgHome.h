#pragma once
// A temporary home for tests of the desktop's folders: HOME, XDG_CONFIG_HOME and XDG_DATA_HOME
// point into a new temporary folder, the XDG_..._DIR overrides are cleared, and everything is
// put back (and the folder removed) afterwards. Nothing reaches the user's real home.

#include <string>
#include <utility>
#include <vector>

class XdgHome {
public:
  XdgHome();
  ~XdgHome();
  XdgHome(const XdgHome&) = delete;
  XdgHome& operator=(const XdgHome&) = delete;

  const std::string& Root() const { return root_; }        // the temporary folder
  std::string Home() const { return root_ + "/home"; }      // $HOME
  std::string Config() const { return root_ + "/config"; }  // $XDG_CONFIG_HOME
  std::string Data() const { return root_ + "/data"; }      // $XDG_DATA_HOME
  // Sets (or with null clears) a variable until the end of the test.
  void Set(const char* name, const char* value);
  // Makes a folder (and its parents) under the root; answers its full path.
  std::string MakeFolder(const std::string& relative) const;
  // Writes a file under the root (making its folders); answers its full path.
  std::string WriteFile(const std::string& relative, const std::string& contents) const;

private:
  void Remember(const char* name);
  std::string root_;
  std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved_;
};
