#pragma once
// Services of neighbouring subsystems that the card model reaches without
// depending on them. The barcode subsystem implements BarcodeService and
// installs it at start-up; tests install fakes. The null service does nothing.

#include <QImage>
#include <QString>

class SKTGraphic;

class BarcodeService {
 public:
  virtual ~BarcodeService() = default;
  // Runs the barcode designer for a barcode graphic; on OK writes the 38
  // barcode settings onto it. 1 after OK, 0 after Cancel.
  virtual int Open_Wnd(SKTGraphic& graphic) { return 0; }
  // Loads a barcode graphic's settings into the designer's controls.
  virtual void Set_Barcode_Prop_To_Control(const SKTGraphic& graphic) {}
  // The barcode picture of a value with the settings loaded into the designer.
  virtual QImage Get_Image_From_Val(const QString& value, const QString& header, const QString& footer) {
    return {};
  }
};

BarcodeService& barcodeService();
void setBarcodeService(BarcodeService* service);  // not owned; nullptr restores the null service
