#include "core/CardServices.h"

#include <atomic>

namespace {
std::atomic<BarcodeService*> installedBarcodeService{nullptr};
}

BarcodeService& barcodeService() {
  static BarcodeService nullService;
  BarcodeService* service = installedBarcodeService.load();
  return service ? *service : nullService;
}

void setBarcodeService(BarcodeService* service) {
  installedBarcodeService.store(service);
}
