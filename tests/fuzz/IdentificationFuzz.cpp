// The identification reply on arbitrary bytes: each identity field stays a
// terminated text taken from the reply, fields the reply does not reach
// keep what they held, and a model number comes only from a "KVX" name.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "link/InstrumentSession.h"

namespace {

using fuzzsupport::Require;

// What the fields hold before the reply; a reply holding these texts could
// write them back, so the order checks skip it.
constexpr const char* kEarlier = "earlier";
constexpr double kEarlierVersion = -12345.678;

template <std::size_t N>
bool Terminated(const char (&field)[N]) {
  return std::memchr(field, '\0', N) != nullptr;
}

template <std::size_t N>
bool Kept(const char (&field)[N]) {
  return std::strcmp(field, kEarlier) == 0;
}

InstrumentSession EarlierIdentity() {
  InstrumentSession instrument;
  std::strcpy(instrument.modelName, kEarlier);
  std::strcpy(instrument.idnTag, kEarlier);
  std::strcpy(instrument.serialNumber, kEarlier);
  instrument.firmwareVersion = kEarlierVersion;
  return instrument;
}

// A changed field is a piece of the reply (cut to the field's room).
template <std::size_t N>
void RequireFromReply(const char (&field)[N], std::string_view reply) {
  Require(Terminated(field));
  if (!Kept(field)) Require(reply.find(field) != std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view reply = fuzzsupport::AsText(data, size);
  InstrumentSession instrument = EarlierIdentity();
  ParseIdentification(instrument, reply);

  RequireFromReply(instrument.modelName, reply);
  RequireFromReply(instrument.idnTag, reply);
  RequireFromReply(instrument.serialNumber, reply);
  // The fields are filled in order: a later one only after the earlier ones.
  if (reply.find(kEarlier) == reply.npos && reply.find("12345") == reply.npos) {
    const bool versionTaken = instrument.firmwareVersion != kEarlierVersion;
    if (!Kept(instrument.serialNumber)) Require(!Kept(instrument.idnTag));
    if (!Kept(instrument.idnTag)) Require(versionTaken);
    if (versionTaken) Require(!Kept(instrument.modelName));
  }

  const std::optional<int> model = ModelNumberFromName(instrument.modelName);
  if (model) Require(std::string_view(instrument.modelName).starts_with("KVX"));
  return 0;
}
