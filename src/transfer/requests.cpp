#include "transfer/requests.h"

namespace trv810::transfer {

void prepareConfigurationWrite(TransferRecord& record, uint8_t* image) {
  record.openCommand = 0x2A;
  record.blockCommand = 0x2B;
  record.unitAddress = 0;
  record.image = image;
  record.imageLength = kConfigImageLength;
  record.blockLength = 8;
  // The image length 898 (0x0382), high byte first, then the format index 3.
  record.requestParams[0] = 0x03;
  record.requestParams[1] = 0x82;
  record.requestParams[2] = 0x03;
}

void prepareConfigurationRead(TransferRecord& record, uint8_t format, uint8_t* staging,
                              std::size_t capacity) {
  record.openCommand = 0x2C;
  record.unitAddress = 0;
  record.formatIndex = format;
  record.blockLength = 8;
  record.image = staging;
  record.imageCapacity = capacity;
  record.requestParams[0] = 0;
}

void prepareFirmwareUpdate(TransferRecord& record, uint8_t* image, uint32_t length) {
  record.openCommand = 0x30;
  record.blockCommand = 0x31;
  record.unitAddress = 0;
  record.formatIndex = 0xFF;
  record.image = image;
  record.imageLength = length;
  record.requestParams[0] = static_cast<uint8_t>((length >> 3) & 0xFF);
  record.requestParams[1] = static_cast<uint8_t>((length >> 11) & 0xFF);
  record.blockLength = 8;
}

}  // namespace trv810::transfer
