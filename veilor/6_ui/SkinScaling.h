#pragma once

#include <wx/image.h>

// Resizes a skin drawn for 96 DPI to `size`, the size it takes on a denser
// (or coarser) screen. The picture is resampled smoothly, but which pixels are
// black, and so outside the window, is scaled pixel for pixel: the window
// keeps its shape, with no dark fringe at the edge and no stray holes.
wxImage ScaleSkin(const wxImage& skin, const wxSize& size);
