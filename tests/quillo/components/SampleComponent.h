#pragma once
// A component with a published property of every kind the property tables carry, for the
// storage tests.

#include "platform/vcl/Collection.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Strings.h"

// A collection item with two published properties.
class TSampleColumn : public TCollectionItem {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  AnsiString Title;
  int Width = 64;
};

// A component with a property of every kind the tables carry.
class TSample : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TSample(TComponent* owner) : TComponent(owner) {
    Lines->Add("design line 1");
    Lines->Add("design line 2");
  }
  int Number = 7;
  bool Flag = false;
  TFormBorderStyle Border = bsSizeable;
  TBorderIcons Icons{biSystemMenu};
  double Ratio = 1.25;
  AnsiString Text = "start";
  char Letter = 'a';
  long Big = 1;
  TOwnedPtr<TStringList> Lines = MakeObject<TStringList>();
  TOwnedPtr<TFont> Font = MakeObject<TFont>();
  TComponent* Buddy = nullptr;
  TOwnedPtr<TCollection> Columns =
      MakeObject<TCollection>(TSampleColumn::StaticClass(), CollectionItemFactory<TSampleColumn>());
};
