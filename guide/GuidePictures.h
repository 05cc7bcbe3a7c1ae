#pragma once
#include <QString>

// Makes every picture the guide shows into the folder given.
void makePictures(const QString& pictures);
