#pragma once
// A fresh settings folder for one test: QUILLO_HOME points at a new temporary folder for the
// test's lifetime and the folder is removed afterwards.

#include <string>
#include <vector>

class TempHome {
public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  const std::string& Path() const { return path_; }
  // Writes a file under the folder (creating its folders) and answers its full path.
  std::string WriteFile(const std::string& relative, const std::string& contents) const;
  // The names of what lies directly in the folder, sorted (temporary files left behind show).
  std::vector<std::string> Files() const;

private:
  std::string path_;
  std::string previous_;
  bool hadPrevious_ = false;
};

// The whole of a file's bytes; empty when it cannot be read.
std::string FileContents(const std::string& path);
