#pragma once
#include <QString>

// Does the guide's worked example (name badges for a guest list) in the real
// window, step by step as the chapter tells it, and saves the pictures of
// each step (named "example-…") into the folder given.
void makeExamplePictures(const QString& pictures);
