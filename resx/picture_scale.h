// Scaling pictures for thumbnails and PNG export.
#pragma once

#include "resx/picture.h"

// The picture scaled to fit a box of `size` x `size`, its proportions kept.
// Shrinking averages the source area under each pixel (weighted by alpha,
// so transparent pixels lend no colour): large images stay smooth.
// Enlarging repeats pixels: a 16-pixel icon stays crisp.
TPicture ScaleToFit(const TPicture& in, int size);
