#pragma once
#include <QString>

// Lays out the guide folder's Guide.md with its pictures on A4 pages (a
// contents list with page numbers after the introduction, each chapter on a
// page of its own, numbered figures, page numbers in the footer) and prints
// it to a PDF. When a line of the layout runs past the text width, it prints
// every such line with its page, writes no PDF and answers false.
bool writePdf(const QString& guideFolder, const QString& pdfPath);
