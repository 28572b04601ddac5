#include "platform/vcl/Alignment.h"

#include "platform/user/UserDraw.h"

QUILLO_DEFINE_ENUM_TYPE(TAlignment, "taLeftJustify", "taRightJustify", "taCenter")
QUILLO_DEFINE_ENUM_TYPE(TVerticalAlignment, "taAlignTop", "taAlignBottom", "taVerticalCenter")

unsigned AlignmentToDrawText(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}
