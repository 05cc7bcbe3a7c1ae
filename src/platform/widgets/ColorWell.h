#pragma once
// A colour well: a button showing a colour; a click opens the colour chooser
// (through the message host, so tests answer it) and a chosen colour is
// reported with colorChanged. setColor from code reports nothing.

#include <QColor>
#include <QPushButton>

class ColorWell : public QPushButton {
  Q_OBJECT
 public:
  explicit ColorWell(const QString& accessibleName, QWidget* parent = nullptr);

  QColor color() const { return color_; }
  void setColor(const QColor& color);
  // Sets the colour as a person's choice would: colorChanged follows.
  void chooseColor(const QColor& color);

 signals:
  void colorChanged(const QColor& color);

 private:
  void openChooser();
  void paintEvent(QPaintEvent* event) override;
  QColor color_ = Qt::black;
};
