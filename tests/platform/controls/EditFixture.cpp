#include "EditFixture.h"

#include <map>

namespace {
constexpr char kParentClass[] = "EditTestParent";
}

void EditFixture::SetUp() {
  WNDCLASS wc;
  wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_COMMAND && lp) notes.push_back(HIWORD(wp));
    if (m == WM_CTLCOLOREDIT || m == WM_CTLCOLORSTATIC) {
      colourRequests.push_back(m);
      if (answerBrush) return reinterpret_cast<LRESULT>(answerBrush);
    }
    return DefWindowProc(w, m, wp, lp);
  };
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kParentClass;
  RegisterClass(&wc);
  parent = CreateWindowEx(0, kParentClass, "Edits", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 600, 440, nullptr,
                          nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
}

void EditFixture::TearDown() {
  if (IsWindow(parent)) DestroyWindow(parent);
  UnregisterClass(kParentClass, nullptr);
  if (answerBrush) DeleteObject(answerBrush);
}

HWND EditFixture::Make(DWORD style, const char* text, int width, int height, DWORD exStyle, int x, int y, int id) {
  HWND edit = CreateWindowEx(exStyle, WC_EDIT, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  ui.RunUntilIdle();
  notes.clear();
  return edit;
}

std::string EditFixture::Text(HWND edit) {
  std::string s(static_cast<size_t>(GetWindowTextLength(edit)) + 1, '\0');
  s.resize(static_cast<size_t>(GetWindowText(edit, s.data(), static_cast<int>(s.size()))));
  return s;
}

std::pair<int, int> EditFixture::Sel(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

void EditFixture::Keys(const std::string& keys) {
  static const std::map<std::string, int> names = {
      {"LEFT", VK_LEFT}, {"RIGHT", VK_RIGHT}, {"UP", VK_UP},         {"DOWN", VK_DOWN},     {"HOME", VK_HOME},
      {"END", VK_END},   {"PGUP", VK_PRIOR},  {"PGDN", VK_NEXT},     {"DELETE", VK_DELETE}, {"INSERT", VK_INSERT},
      {"BACK", VK_BACK}, {"ENTER", VK_RETURN}, {"TAB", VK_TAB}};
  for (size_t i = 0; i < keys.size();) {
    if (keys[i] != '{') {
      size_t next = keys.find('{', i);
      ui.Type(keys.substr(i, next == std::string::npos ? std::string::npos : next - i));
      i = next == std::string::npos ? keys.size() : next;
      continue;
    }
    size_t close = keys.find('}', i);
    std::string key = keys.substr(i + 1, close - i - 1);
    i = close + 1;
    bool shift = false, ctrl = false;
    if (key.rfind("CS-", 0) == 0) shift = ctrl = true, key = key.substr(3);
    else if (key.rfind("S-", 0) == 0) shift = true, key = key.substr(2);
    else if (key.rfind("C-", 0) == 0) ctrl = true, key = key.substr(2);
    auto it = names.find(key);
    const int vk = it != names.end() ? it->second : key[0];
    if (shift) ui.KeyDown(VK_SHIFT);
    if (ctrl) ui.KeyDown(VK_CONTROL);
    ui.Press(vk);
    if (ctrl) ui.KeyUp(VK_CONTROL);
    if (shift) ui.KeyUp(VK_SHIFT);
  }
}

std::vector<WORD> EditFixture::TakeNotes() {
  std::vector<WORD> out;
  out.swap(notes);
  return out;
}
