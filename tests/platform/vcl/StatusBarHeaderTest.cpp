// TStatusBar with its panels (and a status bar that holds controls, as the document window's
// does) and THeaderControl with its sections, dragged and clicked through the UI driver.

#include "VclFixture.h"

#include "platform/controls/Header.h"
#include "platform/controls/StatusBar.h"
#include "platform/vcl/ComCtrlsBars.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Form.h"

namespace {

// A status bar that takes child controls (a progress bar and a button sit on the document
// window's).
class TControlHoldingStatusBar : public TStatusBar {
  QUILLO_DECLARE_CLASS()

public:
  explicit TControlHoldingStatusBar(TComponent* owner) : TStatusBar(owner) { controlStyle_ << csAcceptsControls; }
};
QUILLO_DEFINE_CLASS(TControlHoldingStatusBar, TStatusBar)

class StatusBarFrameworkTest : public VclTest {
protected:
  void SetUp() override {
    form = Application()->CreateForm<TForm>();
    form->SetBounds(100, 100, 420, 300);
    bar = NewComponent<TControlHoldingStatusBar>(form);
    bar->SetParent(form);
    // The document window's panels: 32, 72 centred, 120 centred, 50.
    const struct {
      int width;
      TAlignment alignment;
    } panels[] = {{32, taLeftJustify}, {72, taCenter}, {120, taCenter}, {50, taLeftJustify}};
    for (const auto& p : panels) {
      TStatusPanel* panel = bar->GetPanels()->Add();
      panel->SetWidth(p.width);
      panel->SetAlignment(p.alignment);
    }
    form->Show();
    ui.RunUntilIdle();
  }
  std::string PartText(int i) {
    char text[64] = "";
    SendMessage(bar->GetHandle(), SB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    return text;
  }

  TForm* form = nullptr;
  TControlHoldingStatusBar* bar = nullptr;
};

TEST_F(StatusBarFrameworkTest, PanelsBecomePartsWithTheirTextsAndBevels) {
  // At the form's bottom, as wide as it.
  TRect c = form->GetClientRect();
  EXPECT_EQ(bar->GetBoundsRect(), TRect(0, c.bottom - 19, c.right, c.bottom));
  int rights[4] = {};
  ASSERT_EQ(SendMessage(bar->GetHandle(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(rights)), 4);
  EXPECT_EQ(std::vector<int>(rights, rights + 4), (std::vector<int>{32, 104, 224, -1}));  // the last runs to the end

  bar->GetPanels()->Items(1)->SetText("12,34");
  bar->GetPanels()->Items(3)->SetText("Ready");
  bar->GetPanels()->Items(3)->SetAlignment(taRightJustify);
  bar->GetPanels()->Items(0)->SetBevel(pbRaised);
  bar->GetPanels()->Items(2)->SetBevel(pbNone);
  EXPECT_EQ(PartText(1), "\t12,34");  // a tab centres the text
  EXPECT_EQ(PartText(3), "\t\tReady");
  EXPECT_EQ(HIWORD(SendMessage(bar->GetHandle(), SB_GETTEXTLENGTH, 0, 0)), SBT_POPOUT);
  EXPECT_EQ(HIWORD(SendMessage(bar->GetHandle(), SB_GETTEXTLENGTH, 2, 0)), SBT_NOBORDERS);
  bar->GetPanels()->Items(0)->SetWidth(40);
  SendMessage(bar->GetHandle(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(rights));
  EXPECT_EQ(rights[1], 112);

  // Simple mode shows one text across the bar.
  bar->SetSimpleText("Loading");
  bar->SetSimplePanel(true);
  EXPECT_TRUE(SendMessage(bar->GetHandle(), SB_ISSIMPLE, 0, 0));
  char simple[16] = "";
  SendMessage(bar->GetHandle(), SB_GETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(simple));
  EXPECT_STREQ(simple, "Loading");
  EXPECT_EQ(GetOrdProp(bar, "SimplePanel"), 1);
  EXPECT_EQ(GetStrProp(bar, "SimpleText"), "Loading");
  EXPECT_EQ(GetObjectProp(bar, "Panels"), bar->GetPanels());
}

TEST_F(StatusBarFrameworkTest, TheSizeGripFollowsTheFormAndTheSettingAndPanelsSurviveANewWindow) {
  EXPECT_TRUE(GetWindowLongPtr(bar->GetHandle(), GWL_STYLE) & SBARS_SIZEGRIP);  // a sizeable form
  bar->GetPanels()->Items(1)->SetText("kept");
  bar->SetSimpleText("simple");
  bar->SetSizeGrip(false);
  EXPECT_FALSE(GetWindowLongPtr(bar->GetHandle(), GWL_STYLE) & SBARS_SIZEGRIP);
  EXPECT_EQ(SendMessage(bar->GetHandle(), SB_GETPARTS, 0, 0), 4);
  EXPECT_EQ(PartText(1), "\tkept");
  char simple[16] = "";
  SendMessage(bar->GetHandle(), SB_GETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(simple));
  EXPECT_STREQ(simple, "simple");
  bar->SetSizeGrip(true);
  form->SetBorderStyle(bsDialog);  // a dialog's border cannot be dragged: no grip
  bar->RecreateWnd();
  EXPECT_FALSE(GetWindowLongPtr(bar->GetHandle(), GWL_STYLE) & SBARS_SIZEGRIP);
}

TEST_F(StatusBarFrameworkTest, OwnerDrawnPanelsPaintThroughOnDrawPanel) {
  std::vector<int> drawn;
  bar->OnDrawPanel = [&](TStatusBar* sb, TStatusPanel* panel, const TRect& r) {
    drawn.push_back(panel->Index());
    sb->GetCanvas()->GetBrush()->SetColor(clLime);
    sb->GetCanvas()->FillRect(r);
  };
  bar->GetPanels()->Items(2)->SetStyle(psOwnerDraw);
  bar->Invalidate();
  ui.RunUntilIdle();
  EXPECT_EQ(drawn, std::vector<int>{2});
  TRect part = bar->PanelRect(2);
  EXPECT_EQ(PixelOf(bar, (part.left + part.right) / 2, (part.top + part.bottom) / 2), Rgb(clLime));
}

TEST_F(StatusBarFrameworkTest, AControlOnTheBarStaysThereAndIsDrawnOverThePanels) {
  auto* progress = NewComponent<TPanel>(form);
  progress->SetParent(bar);
  progress->SetBounds(110, 2, 100, 15);
  progress->SetBevelOuter(bvNone);
  progress->SetColor(clNavy);
  ui.RunUntilIdle();
  EXPECT_EQ(progress->GetParent(), bar);
  EXPECT_EQ(PixelOf(progress, 50, 7), Rgb(clNavy));
  // It stays on the bar when the bar repaints and when the form is resized.
  bar->GetPanels()->Items(2)->SetText("covered");
  bar->Invalidate();
  form->SetBounds(100, 100, 500, 340);
  ui.RunUntilIdle();
  EXPECT_EQ(progress->GetBoundsRect(), TRect(110, 2, 210, 17));
  EXPECT_EQ(PixelOf(progress, 50, 7), Rgb(clNavy));
  EXPECT_EQ(bar->GetBoundsRect().bottom, form->GetClientRect().bottom);
}

TEST_F(StatusBarFrameworkTest, PanelsLookSunkenOrRaised) {
  bar->GetPanels()->Items(1)->SetBevel(pbRaised);
  ui.RunUntilIdle();
  TRect sunken = bar->PanelRect(0), raised = bar->PanelRect(1);
  int mid = (sunken.top + sunken.bottom) / 2;
  EXPECT_EQ(PixelOf(bar, sunken.left, mid), Rgb(clBtnShadow));
  EXPECT_EQ(PixelOf(bar, sunken.right - 1, mid), Rgb(clBtnHighlight));
  EXPECT_EQ(PixelOf(bar, raised.left, mid), Rgb(clBtnHighlight));
  EXPECT_EQ(PixelOf(bar, raised.right - 1, mid), Rgb(clBtnShadow));
}

class HeaderControlFrameworkTest : public VclTest {
protected:
  void SetUp() override {
    form = Application()->CreateForm<TForm>();
    form->SetBounds(100, 100, 420, 300);
    header = NewComponent<THeaderControl>(form);
    header->SetParent(form);
    for (const char* text : {"Name", "Size", "Date"}) {
      THeaderSection* s = header->GetSections()->Add();
      s->SetText(text);
      s->SetWidth(80);
    }
    header->OnSectionResize = [this](THeaderControl*, THeaderSection* s) {
      log.push_back("resize " + std::to_string(s->Index()) + " " + std::to_string(s->GetWidth()));
    };
    header->OnSectionClick = [this](THeaderControl*, THeaderSection* s) { log.push_back("click " + s->GetText()); };
    header->OnSectionTrack = [this](THeaderControl*, THeaderSection*, int, TSectionTrackState state) {
      if (state != tsTrackMove) log.push_back(state == tsTrackBegin ? "begin" : "end");
    };
    form->Show();
    ui.RunUntilIdle();
  }
  TForm* form = nullptr;
  THeaderControl* header = nullptr;
};

TEST_F(HeaderControlFrameworkTest, SectionsAreItemsAndFollowTheDividers) {
  EXPECT_EQ(SendMessage(header->GetHandle(), HDM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(header->GetAlign(), alTop);
  EXPECT_EQ(header->GetSections()->Items(2)->Left(), 160);
  POINT from = At(header, 80, 8);
  ui.Drag(from, POINT{from.x + 25, from.y}, 3);
  EXPECT_EQ(header->GetSections()->Items(0)->GetWidth(), 105);
  EXPECT_EQ(header->GetSections()->Items(1)->Left(), 105);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "begin");
  EXPECT_EQ(log.back(), "end");
  EXPECT_NE(std::find(log.begin(), log.end(), "resize 0 105"), log.end());
}

TEST_F(HeaderControlFrameworkTest, WidthsStayWithinTheirBounds) {
  THeaderSection* size = header->GetSections()->Items(1);
  size->SetMinWidth(60);
  size->SetMaxWidth(100);
  POINT from = At(header, 160, 8);
  ui.Drag(from, POINT{from.x - 70, from.y}, 2);
  EXPECT_EQ(size->GetWidth(), 60);
  ui.Advance(1000);
  from = At(header, 140, 8);
  ui.Drag(from, POINT{from.x + 90, from.y}, 2);
  EXPECT_EQ(size->GetWidth(), 100);
  HDITEM item;
  item.mask = HDI_WIDTH;
  SendMessage(header->GetHandle(), HDM_GETITEM, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(item.cxy, 100);  // the window agrees
  size->SetWidth(10);
  EXPECT_EQ(size->GetWidth(), 60);
}

TEST_F(HeaderControlFrameworkTest, ClickingASectionTellsUnlessNotAllowed) {
  ClickOn(header, 120, 8);
  EXPECT_EQ(log, std::vector<std::string>{"click Size"});
  log.clear();
  header->GetSections()->Items(2)->SetAllowClick(false);
  ui.Advance(1000);
  ClickOn(header, 200, 8);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(GetObjectProp(header, "Sections"), header->GetSections());
  EXPECT_EQ(GetEnumProp(header->GetSections()->Items(0), "Alignment"), "taLeftJustify");
}

}  // namespace
