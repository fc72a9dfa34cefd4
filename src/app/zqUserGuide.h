// The user guide shown by Help > User guide: what each page does, the two line physics, the column and
// the limits of the data, as HTML for a text browser.
#pragma once

#include <QString>

QString UserGuideHtml();
