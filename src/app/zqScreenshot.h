// "--screenshot FILE": the main window as drawn after start-up, written as a PNG file.
#pragma once

#include <QString>

class TForm1;

// Shows the window if needed, lets it lay itself out, repaints the chart and writes the window's
// picture (QWidget::grab) to file as PNG, replacing an existing file only once the new one is complete.
// False with error set when the picture cannot be taken or written.
bool SaveWindowScreenshot(TForm1& form, const QString& file, QString& error);
