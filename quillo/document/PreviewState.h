#pragma once
// Whether a dialog tool's preview on the active picture is up to date. Zooming and scrolling
// the view clear it (the drawing view may have moved with them), so that the next Preview
// filters again.

extern bool PreviewValid;
