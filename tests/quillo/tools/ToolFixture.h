#pragma once
// What the tool tests share: the started program with one document, tools that log the calls
// they get, and the tool state put back as the program starts it afterwards.

#include <string>
#include <vector>

#include "../document/DocumentFixture.h"
#include "quillo/tools/Tool.h"

class TImageForm;

// A tool that writes "name.Activate" and "name.Deactivate(next)" into a shared log.
class LoggingTool : public P_icon {
public:
  LoggingTool(std::string name, const ToolTraits& traits, std::vector<std::string>& log)
      : P_icon(traits), name_(std::move(name)), log_(log) {}
  void Activate() override;
  void Deactivate(P_icon* next) override;
  const std::string& Name() const { return name_; }

private:
  std::string name_;
  std::vector<std::string>& log_;
};

class ToolTest : public DocumentTest {
protected:
  ToolTest();
  ~ToolTest() override;

  // The desktop point of a view pixel of the document.
  POINT ViewPoint(int x, int y) const;
  // Puts the zoom of the document to z (1, 2, 0.5 ...).
  void SetZoom(double z);
  // The pointer leaves the document window, taking the tool's feedback with it.
  void PointerAway();

  TImageForm* document = nullptr;
  std::vector<std::string> log;
};
