#include "platform/host/PresenterChoice.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? Lower(value) : std::string();
}

}  // namespace

Presenter ChoosePresenter(const PresenterFacts& facts) {
  if (Lower(facts.userDriver) == "software") return Presenter::Software;
  if (!facts.userDriver.empty()) return Presenter::UsersChoice;
  if (facts.softwareGlRequested || !facts.gpuOffered) return Presenter::Software;
  return Presenter::Accelerated;
}

bool IsSoftwareGlRenderer(const std::string& glRenderer) {
  const std::string name = Lower(glRenderer);
  for (const char* processorDriver : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
    if (name.find(processorDriver) != std::string::npos) return true;
  return false;
}

// Mesa reads these as it loads; a true value is any of its spellings of one.
bool SoftwareGlRequested() {
  const std::string always = Environment("LIBGL_ALWAYS_SOFTWARE");
  if (always == "1" || always == "true" || always == "yes" || always == "y") return true;
  const std::string gallium = Environment("GALLIUM_DRIVER");
  return gallium == "llvmpipe" || gallium == "softpipe" || gallium == "swr";
}

bool RenderNodeAvailable(const std::string& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.c_str()), closedir);
  if (!listing) return false;
  while (const dirent* entry = readdir(listing.get())) {
    const std::string name = entry->d_name;
    if (name.rfind("renderD", 0) == 0 && access((folder + "/" + name).c_str(), R_OK | W_OK) == 0) return true;
  }
  return false;
}
