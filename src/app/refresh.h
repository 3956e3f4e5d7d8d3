// Bringing every drive's page up to date with the drive data.
#pragma once

// For every drive shown: disk totals, then the evaluation. The drawing and
// the lists of the pages follow it once there are pages.
void RefreshAllPages(bool rebuildLists);
