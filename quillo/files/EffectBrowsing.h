#pragma once
// What the browser's effect mode needs of the component host above it: the groups of
// components, the components of a group, a thumbnail of the current image run through one of
// them, and making one the current component. The host installs its implementation at
// start-up; without one the effect mode shows no groups.

#include <vector>

#include "platform/rtl/AnsiString.h"
#include "quillo/base/HostSlot.h"

class UDBuffer;

class EffectBrowsing {
public:
  EffectBrowsing() = default;
  virtual ~EffectBrowsing() = default;
  EffectBrowsing(const EffectBrowsing&) = delete;
  EffectBrowsing& operator=(const EffectBrowsing&) = delete;

  // The tree's roots, one per group, in order.
  virtual std::vector<AnsiString> Groups() { return {}; }
  // The root the browser opens on (the group the user asked to browse); empty for none.
  virtual AnsiString InitialGroup() { return {}; }
  // The entries (component files) of a group; none when no group has that caption.
  virtual std::vector<AnsiString> Entries(const AnsiString& /*group*/) { return {}; }
  // The current image, reduced to at most 120 x 90, run through entry n of group at its
  // default options, into thumb; caption its name. False when the component did not load.
  virtual bool Thumbnail(const AnsiString& /*group*/, int /*n*/, UDBuffer& /*thumb*/, AnsiString& /*caption*/) {
    return false;
  }
  // Entry n of group becomes the current component, its tool the one resumed after the browser.
  virtual void Choose(const AnsiString& /*group*/, int /*n*/) {}
};

inline EffectBrowsing& TheEffectBrowsing() { return HostSlot<EffectBrowsing>::Current(); }
