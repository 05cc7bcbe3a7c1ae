#pragma once
// What every picture run of the guide starts from: a resource folder of
// its own, seeded from the shipped resources, and the main window shown at
// the size the pictures are made at.
#include <QString>
#include <QTemporaryDir>

class SKTWindowController;

// Seeds a resource folder inside `home` and makes it the program's; returns its path.
QString seedGuideResources(const QTemporaryDir& home);

// Shows the window at the pictures' size and waits until it is on the screen.
void showGuideWindow(SKTWindowController& window);
