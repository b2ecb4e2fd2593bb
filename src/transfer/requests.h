#pragma once
// How each command of the program fills the TransferRecord, in one place so that the
// windows and the command line send exactly the same requests. Each sets only the
// fields its transfer needs; every other field keeps what an earlier transfer left.

#include <cstddef>
#include <cstdint>

#include "transfer/transfer_record.h"

namespace trv810::transfer {

/// Bytes of the current configuration image (format 3).
inline constexpr uint32_t kConfigImageLength = 898;
/// The most bytes a download can announce with its 16-bit block count of 8-byte
/// blocks: 65,535 whole blocks.
inline constexpr uint32_t kMaxAnnouncedFirmwareLength = 0xFFFF * 8 + 7;

/// "TRV programmieren": download of the 898-byte configuration at `image`.
void prepareConfigurationWrite(TransferRecord& record, uint8_t* image);
/// "TRV auslesen": upload of format `format` into `staging`, which has room for
/// `capacity` bytes.
void prepareConfigurationRead(TransferRecord& record, uint8_t format, uint8_t* staging,
                              std::size_t capacity);
/// Firmware "Programmieren": download of `length` bytes at `image`, announced with the
/// number of whole 8-byte blocks, low byte first.
void prepareFirmwareUpdate(TransferRecord& record, uint8_t* image, uint32_t length);

}  // namespace trv810::transfer
