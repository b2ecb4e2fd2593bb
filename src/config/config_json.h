#pragma once
// The configuration as JSON text, for keeping configurations under version control and
// for tools: export, import through the form's checks, and the list of fields that a
// comparison walks. The document, keys always in this order:
//
//   {"format": 3,
//    "rows": [32 x {"active", "address", "function", "siren", "sequence",
//                   "relays": {"K3" .. "K10"}}],
//    "general": {"baudRate", "ident", "switchOnTimes": {"K3" .. "K10"},
//                "manualSequence", "manualRelays": {"K3" .. "K10"}, ...,
//                "reservedFlags"}}
//
// A row holds one key per row column (config/row_columns.h) and "general" one key per
// general field (config/general_fields.h), each in its table's document order.
//
// Texts are shown as the form shows them: the address with seven digits ("" for none),
// the function as "A" to "D", sequences in their text form. "reservedFlags" carries
// bits 1 to 7 of the flags word, which the form passes on unchanged. An import starts
// from a cleared image, as a newly opened window does, so the ident's bytes behind its
// end, which no field shows, are zero afterwards.

#include <string>
#include <string_view>
#include <vector>

#include "config/config_image.h"

namespace trv810::config {

/// The JSON text of `image` as read from a file or unit of `formatIndex`: two-space
/// indentation, UTF-8, ended by a newline.
std::string exportJson(const ConfigImage& image, int formatIndex);

/// One value of the document with its path, e.g. {"rows[2].sequence", "ON05,OFF10"}.
/// Texts are given as they are ("" for an empty one), other values as JSON.
struct JsonField {
  std::string path;
  std::string value;
};

/// Every value of exportJson's document, in its order.
std::vector<JsonField> jsonFields(const ConfigImage& image, int formatIndex);

/// What importJson made of a text: the configuration, or the first error found.
struct JsonImport {
  ConfigImage image;    ///< as "TRV programmieren" would send it
  int formatIndex = 0;  ///< the document's "format"
  std::string path;     ///< the field of the error, e.g. "rows[3].address"; empty when the text is no JSON
  std::string message;  ///< empty on success; a form error gives the form's message
  std::string hint;     ///< for a form error: what the field admits
  bool ok() const { return message.empty(); }
  /// "path: message", or the message alone when there is no path.
  std::string error() const { return path.empty() ? message : path + ": " + message; }
};

/// Reads the document: malformed JSON, duplicate, unknown and missing keys and wrong
/// types are errors first; then the configuration goes through the form and its checks
/// as "TRV programmieren" runs them, the first failing check naming its field.
JsonImport importJson(std::string_view text);

}  // namespace trv810::config
