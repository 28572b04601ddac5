#include "SampleComponent.h"

QUILLO_DEFINE_PUBLISHED_CLASS(TSample, TComponent)
const TPropTable* TSample::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TSample>()
          .Property("Number", [](const TSample* s) { return s->Number; }, [](TSample* s, int v) { s->Number = v; })
          .Property("Flag", [](const TSample* s) { return s->Flag; }, [](TSample* s, bool v) { s->Flag = v; })
          .Property("Border", [](const TSample* s) { return s->Border; },
                    [](TSample* s, TFormBorderStyle v) { s->Border = v; })
          .Property("Icons", [](const TSample* s) { return s->Icons; }, [](TSample* s, TBorderIcons v) { s->Icons = v; })
          .Property("Ratio", [](const TSample* s) { return s->Ratio; }, [](TSample* s, double v) { s->Ratio = v; })
          .Property("Text", [](const TSample* s) { return s->Text; },
                    [](TSample* s, const AnsiString& v) { s->Text = v; })
          .Property("Letter", [](const TSample* s) { return s->Letter; }, [](TSample* s, char v) { s->Letter = v; })
          .Property("Big", [](const TSample* s) { return s->Big; }, [](TSample* s, long v) { s->Big = v; })
          .Property("Lines", [](const TSample* s) { return s->Lines.get(); },
                    [](TSample* s, TStringList* v) { s->Lines->Assign(v); })
          .Property("Font", [](const TSample* s) { return s->Font.get(); }, [](TSample* s, TFont* v) { s->Font->Assign(v); })
          .Property("Columns", [](const TSample* s) { return s->Columns.get(); },
                    [](TSample* s, TCollection* v) { s->Columns->Assign(v); })
          .Property("Buddy", [](const TSample* s) { return s->Buddy; }, [](TSample* s, TComponent* v) { s->Buddy = v; })
          .Table();
  return &table;
}


QUILLO_DEFINE_PUBLISHED_CLASS(TSampleColumn, TCollectionItem)
const TPropTable* TSampleColumn::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TSampleColumn>()
          .Property("Title", [](const TSampleColumn* c) { return c->Title; },
                    [](TSampleColumn* c, const AnsiString& v) { c->Title = v; })
          .Property("Width", [](const TSampleColumn* c) { return c->Width; }, [](TSampleColumn* c, int v) { c->Width = v; })
          .Table();
  return &table;
}
