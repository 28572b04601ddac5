#include "ToolbarFixture.h"

#include <sstream>

namespace tbx::testing {

TOwnedPtr<TBitmap> MakeGlyph(std::initializer_list<TColor> cells, int size, TColor background) {
  auto glyph = MakeObject<TBitmap>();
  glyph->SetPixelFormat(pf24bit);
  glyph->SetSize(size * static_cast<int>(cells.size()), size);
  TCanvas* c = glyph->GetCanvas();
  c->GetBrush()->SetColor(background);
  c->FillRect(TRect(0, 0, glyph->GetWidth(), size));
  int x = 0;
  for (TColor colour : cells) {
    c->GetBrush()->SetColor(colour);
    c->FillRect(TRect(x + 2, 2, x + size - 2, size - 2));
    x += size;
  }
  return glyph;
}

TToolbarX* AddToolbar(TForm* form, const char* name, const char* caption, int count, bool separatorAfterFirst) {
  static const TColor colours[] = {clRed, clGreen, clBlue, clMaroon, clNavy, clOlive, clTeal, clPurple};
  auto* bar = NewComponent<TToolbarX>(form);
  bar->SetName(name);
  bar->SetCaption(caption);
  for (int i = 0; i < count; ++i) {
    auto* button = NewComponent<TToolbarButtonX>(form);
    button->SetName(AnsiString(name) + "Button" + std::to_string(i));
    auto glyph = MakeGlyph({colours[i % 8]});
    button->SetGlyph(glyph.get());
    button->SetParent(bar);
    if (i == 0 && separatorAfterFirst) {
      auto* sep = NewComponent<TToolbarSepX>(form);
      sep->SetParent(bar);
    }
  }
  return bar;
}

DemoLayout BuildDemoForm() {
  DemoLayout d;
  d.form = NewComponent<TForm>(Application());
  d.form->SetName("DemoForm");
  d.form->SetCaption("Toolbars");
  d.form->SetBounds(100, 60, 700, 500);
  auto dock = [&](const char* name, TDockPosition position) {
    auto* k = NewComponent<TDockX>(d.form);
    k->SetName(name);
    k->SetPosition(position);
    k->SetParent(d.form);
    return k;
  };
  d.top = dock("TopDock", dpTop);
  d.bottom = dock("BottomDock", dpBottom);
  d.left = dock("LeftDock", dpLeft);
  d.right = dock("RightDock", dpRight);
  d.top->SetBoundLines({blBottom});

  d.standard = AddToolbar(d.form, "Standard", "Standard", 6, true);
  d.standard->SetFullSize(true);
  d.standard->SetDockableTo({});
  d.standard->SetDockedTo(d.top);

  d.tools = AddToolbar(d.form, "Tools", "Tools", 4);
  d.tools->SetDockRow(1);
  d.tools->SetDockedTo(d.top);

  d.colours = AddToolbar(d.form, "Colours", "Colours", 3);
  d.colours->SetDockedTo(d.left);

  d.palette = AddToolbar(d.form, "Palette", "Palette", 5, true);
  d.palette->SetFloatingPosition(TPoint(420, 300));
  d.palette->SetDockedTo(nullptr);

  d.form->Show();
  Application()->ProcessMessages();
  return d;
}

std::string DescribeLayout(const DemoLayout& d) {
  std::ostringstream out;
  for (TToolbarX* t : {d.standard, d.tools, d.palette, d.colours}) {
    out << t->GetName() << ": " << (t->GetVisible() ? "visible" : "hidden") << ", "
        << (t->GetDockedTo() ? t->GetDockedTo()->GetName() : AnsiString("floating")) << " row " << t->GetDockRow()
        << " pos " << t->GetDockPos() << " float " << t->FloatingPosition().x << "," << t->FloatingPosition().y
        << " last " << (t->GetLastDock() ? t->GetLastDock()->GetName() : AnsiString("-")) << " wrap "
        << t->GetFloatingWidth();
    if (t->GetVisible() && t->HandleAllocated()) {
      RECT r;
      GetWindowRect(t->GetHandle(), &r);
      out << " at " << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
    }
    out << "\n";
  }
  return out.str();
}

}  // namespace tbx::testing
