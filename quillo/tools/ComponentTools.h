#pragma once
// The two tools that run plug-in components: P_ql_component applies one to the active image as
// an effect, P_ql_component_brush paints with one. Components are hosted above the tools; the
// host installs its driver at start-up, and until then both tools do nothing.

#include <cstdint>

#include "quillo/base/HostSlot.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/PaletteFunctions.h"

class P_ql_component;

// What the component host does for the two tools.
class ComponentToolDriver {
public:
  ComponentToolDriver() = default;
  virtual ~ComponentToolDriver() = default;
  ComponentToolDriver(const ComponentToolDriver&) = delete;
  ComponentToolDriver& operator=(const ComponentToolDriver&) = delete;

  virtual void Activate(P_ql_component& /*tool*/, bool /*brush*/) {}
  virtual void Deactivate(P_ql_component& /*tool*/, P_icon* /*next*/) {}
  virtual void AddPoint(P_ql_component& /*tool*/, bool /*brush*/) {}
  virtual void ShowFeedback(P_ql_component& /*tool*/, bool /*brush*/) {}
  virtual void HideFeedback(P_ql_component& /*tool*/, bool /*brush*/) {}
};

inline ComponentToolDriver& TheComponentToolDriver() { return HostSlot<ComponentToolDriver>::Current(); }

class P_ql_component : public P_func {
public:
  explicit P_ql_component(const ToolTraits& traits) : P_func(traits) {}

  // The component's index in the component table.
  int ComponentIndex = 0;
  // The image as it was at activation: the source of every run.
  UDBuffer QlComponentPicture;
  // 1: the effect is kept (Apply); 0: previews, and after a cancel.
  std::uint8_t ComponentApply = 0;
  // 1 while the component's option page exists.
  std::uint8_t ComponentPageActive = 0;

  void ShowFeedback() override { TheComponentToolDriver().ShowFeedback(*this, IsBrush()); }
  void HideFeedback() override { TheComponentToolDriver().HideFeedback(*this, IsBrush()); }
  void AddPoint() override { TheComponentToolDriver().AddPoint(*this, IsBrush()); }
  void Activate() override { TheComponentToolDriver().Activate(*this, IsBrush()); }
  void Deactivate(P_icon* next) override { TheComponentToolDriver().Deactivate(*this, next); }
  virtual bool IsBrush() const { return false; }
  bool PreviewsThroughDialog() const override { return true; }
};

class P_ql_component_brush : public P_ql_component {
public:
  explicit P_ql_component_brush(const ToolTraits& traits) : P_ql_component(traits) {}
  bool IsBrush() const override { return true; }
};
