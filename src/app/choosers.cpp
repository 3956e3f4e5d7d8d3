#include "app/choosers.h"

#include "base/windowutil.h"

const Choosers kStandardChoosers = {ChooseColourDialog, ChooseFontDialog, ChooseFileInFolder};
Choosers choosers = kStandardChoosers;
