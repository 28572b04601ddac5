#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/Component.h"

namespace {

// A component that records what it hears and may hold a reference to another.
class TWatcher : public TComponent {
  QUILLO_DECLARE_CLASS()

public:
  explicit TWatcher(TComponent* owner, std::vector<std::string>* log = nullptr) : TComponent(owner), log_(log) {}
  ~TWatcher() override {
    if (log_) log_->push_back("destroyed " + GetName());
  }
  TComponent* Ref = nullptr;
  void Loaded() override {
    TComponent::Loaded();
    if (log_) log_->push_back("loaded " + GetName());
  }

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (log_) log_->push_back(GetName() + (operation == opInsert ? " +" : " -") + component->GetName());
    if (operation == opRemove && component == Ref) Ref = nullptr;
  }

private:
  std::vector<std::string>* log_;
};
QUILLO_DEFINE_CLASS(TWatcher, TComponent)

TEST(Component, OwnerFreesWhatItOwnsNewestFirst) {
  std::vector<std::string> log;
  auto owner = MakeObject<TWatcher>(nullptr, &log);
  owner->SetName("Owner");
  auto* a = NewComponent<TWatcher>(owner.get(), &log);
  a->SetName("A");
  auto* b = NewComponent<TWatcher>(a, &log);  // owned by A, freed with it
  b->SetName("B");
  auto* c = NewComponent<TWatcher>(owner.get(), &log);
  c->SetName("C");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(1), c);
  EXPECT_EQ(c->ComponentIndex(), 1);
  EXPECT_EQ(b->Owner(), a);
  log.clear();
  owner.reset();
  auto at = [&](const std::string& s) { return std::find(log.begin(), log.end(), s) - log.begin(); };
  ASSERT_NE(at("destroyed C"), static_cast<long>(log.size()));
  EXPECT_LT(at("destroyed C"), at("destroyed A"));
  EXPECT_LT(at("destroyed B"), at("destroyed A"));
  EXPECT_LT(at("destroyed A"), at("destroyed Owner"));
}

TEST(Component, FreedComponentIsForgottenByEveryoneToldOfIt) {
  auto owner = MakeObject<TWatcher>(nullptr);
  auto* holder = NewComponent<TWatcher>(owner.get());
  auto* sibling = NewComponent<TWatcher>(owner.get());
  holder->Ref = sibling;  // a sibling hears through the common owner
  auto stranger = MakeObject<TWatcher>(nullptr);
  auto* elsewhere = NewComponent<TWatcher>(stranger.get());
  auto* outsider = MakeObject<TWatcher>(nullptr).release();
  outsider->FreeNotification(elsewhere);
  elsewhere->Ref = outsider;  // a component of another owner asked to be told
  FreeObject(sibling);
  EXPECT_EQ(holder->Ref, nullptr);
  EXPECT_EQ(owner->ComponentCount(), 1);
  FreeObject(outsider);
  EXPECT_EQ(elsewhere->Ref, nullptr);
  // The link runs both ways: the component that asked is gone, the other no longer points at it.
  FreeObject(stranger.release());
}

TEST(Component, DeleteWithoutFreeStillLeavesItsOwner) {
  auto owner = MakeObject<TWatcher>(nullptr);
  auto* c = NewComponent<TWatcher>(owner.get());
  delete c;  // a plain delete runs the component's ending too
  EXPECT_EQ(owner->ComponentCount(), 0);
}

TEST(Component, NamesAreIdentifiersUniqueWithinTheOwner) {
  auto owner = MakeObject<TComponent>(nullptr);
  auto* a = NewComponent<TComponent>(owner.get());
  auto* b = NewComponent<TComponent>(owner.get());
  a->SetName("Button1");
  EXPECT_THROW(b->SetName("button1"), EComponentError);
  EXPECT_EQ(b->GetName(), "");
  struct Case {
    const char* name;
    bool valid;
  };
  for (Case c : {Case{"_x9", true}, Case{"9x", false}, Case{"a b", false}, Case{"", true}, Case{"Ok", true}}) {
    auto* d = NewComponent<TComponent>(owner.get());
    if (c.valid) {
      EXPECT_NO_THROW(d->SetName(c.name)) << c.name;
    } else {
      EXPECT_THROW(d->SetName(c.name), EComponentError) << c.name;
    }
  }
  a->SetName("BUTTON1");  // the same name in other case is a rename, not a clash
  EXPECT_EQ(owner->FindComponent("button1"), a);
  EXPECT_EQ(owner->FindComponent(""), nullptr);
  EXPECT_EQ(owner->FindComponent("Missing"), nullptr);
}

TEST(Component, OwnerHearsInsertAndRemoveAndMovingOwners) {
  std::vector<std::string> log;
  auto first = MakeObject<TWatcher>(nullptr, &log);
  first->SetName("First");
  auto second = MakeObject<TWatcher>(nullptr, &log);
  second->SetName("Second");
  auto* c = NewComponent<TComponent>(first.get());
  c->SetName("C");
  second->InsertComponent(c);
  EXPECT_EQ(c->Owner(), second.get());
  EXPECT_EQ(first->ComponentCount(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"First +", "First -C", "Second +C"}));  // named after it was inserted
}

TEST(Component, LoadingStateReachesOwnedComponentsUntilLoaded) {
  std::vector<std::string> log;
  auto form = MakeObject<TWatcher>(nullptr, &log);
  form->BeginLoading();
  auto* child = NewComponent<TWatcher>(form.get(), &log);
  child->SetName("Child");
  EXPECT_TRUE(child->ComponentState().Contains(csLoading));
  child->Loaded();
  EXPECT_FALSE(child->ComponentState().Contains(csLoading));
  EXPECT_TRUE(form->ComponentState().Contains(csLoading));
  form->SetDesigning(true);
  EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
}

TEST(Component, DestroyingMarksTheOwnedBeforeTheyGo) {
  auto owner = MakeObject<TComponent>(nullptr);
  auto* c = NewComponent<TComponent>(owner.get());
  owner->Destroying();
  EXPECT_TRUE(c->ComponentState().Contains(csDestroying));
}

TEST(Component, BadComponentIndexRaisesListError) {
  auto owner = MakeObject<TComponent>(nullptr);
  EXPECT_THROW(owner->Components(0), EListError);
  EXPECT_THROW(NewComponent<TComponent>(nullptr), EComponentError);
}

}  // namespace
