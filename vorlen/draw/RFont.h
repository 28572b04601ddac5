#pragma once
// The library's bitmap fonts ("*.rfn"). The font folder is set at library start-up and always
// ends in '/'.

class RFont {
public:
  static char* GetPath();

  static char path[260];
};
