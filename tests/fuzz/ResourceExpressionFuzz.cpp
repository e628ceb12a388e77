// Resource search expressions on arbitrary text. Input: the expression, a
// NUL, two big-endian 16-bit ids (manufacturer, model code) and a
// descriptor. Matching ignores case, an always-true attribute expression
// changes nothing and an always-false one matches nothing, and viFindRsrc
// finds exactly the registered instruments the expression matches.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "platform/visa/ResourceExpr.h"

namespace {

using fuzzsupport::Require;
using visa::ResourceExpression;
using visa::ResourceFacts;

struct Registered {
  std::vector<ResourceFacts> facts;
  ViSession resourceManager = 0;
};

Registered RegisterInstruments() {
  visa::ClearInstruments();
  visa::EnableUsbSearch(false);
  const std::array<std::shared_ptr<testsupport::ScriptedInstrument>, 3> instruments = {
      std::make_shared<testsupport::ScriptedInstrument>("KVX0001"),
      std::make_shared<testsupport::ScriptedInstrument>("a[b]*c", visa::kModelCodeOther),
      std::make_shared<testsupport::ScriptedInstrument>("OTHER", 0x0001, 0x1234)};
  Registered registered;
  for (const auto& instrument : instruments) {
    visa::AddInstrument(instrument);
    registered.facts.push_back({instrument->Descriptor(), instrument->ManufacturerId(), instrument->ModelCode()});
  }
  Require(viOpenDefaultRM(&registered.resourceManager) == VI_SUCCESS);
  return registered;
}

ResourceFacts FactsFrom(std::string_view rest) {
  ResourceFacts facts;
  if (rest.size() >= 4) {
    facts.manufacturerId = static_cast<std::uint16_t>(static_cast<std::uint8_t>(rest[0]) << 8 | static_cast<std::uint8_t>(rest[1]));
    facts.modelCode = static_cast<std::uint16_t>(static_cast<std::uint8_t>(rest[2]) << 8 | static_cast<std::uint8_t>(rest[3]));
    rest.remove_prefix(4);
  }
  facts.descriptor = std::string(rest);
  return facts;
}

ResourceFacts WithCase(ResourceFacts facts, int (*change)(int)) {
  std::transform(facts.descriptor.begin(), facts.descriptor.end(), facts.descriptor.begin(),
                 [change](char c) { return static_cast<char>(change(static_cast<unsigned char>(c))); });
  return facts;
}

void CheckFilters(std::string_view expression, const ResourceFacts& facts, bool matched) {
  if (expression.find('{') != std::string_view::npos) return;
  const std::string text(expression);
  const auto always = ResourceExpression::Parse(text + "{VI_ATTR_MANF_ID == VI_ATTR_MANF_ID}");
  const auto never = ResourceExpression::Parse(text + "{!(0x10 >= 16)}");
  Require(always && never);
  Require(always->Matches(facts) == matched);
  Require(!never->Matches(facts));
}

void CheckSearch(const Registered& registered, const std::string& expression, const ResourceExpression& parsed) {
  ViFindList list = 0;
  ViUInt32 count = 0;
  char first[VI_FIND_BUFLEN] = {};
  const ViStatus status = viFindRsrc(registered.resourceManager, expression.c_str(), &list, &count, first);
  const auto expected = std::count_if(registered.facts.begin(), registered.facts.end(),
                                      [&](const ResourceFacts& facts) { return parsed.Matches(facts); });
  Require(status == (expected == 0 ? VI_ERROR_RSRC_NFOUND : VI_SUCCESS));
  Require(count == static_cast<ViUInt32>(expected));
  if (list != 0) viClose(list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Registered registered = RegisterInstruments();
  const std::string_view input = fuzzsupport::AsText(data, size);
  const std::size_t split = std::min(input.find('\0'), input.size());
  const std::string_view expression = input.substr(0, split);
  const ResourceFacts facts = FactsFrom(input.substr(std::min(split + 1, input.size())));

  const std::optional<ResourceExpression> parsed = ResourceExpression::Parse(expression);
  if (!parsed) return 0;
  const bool matched = parsed->Matches(facts);
  Require(parsed->Matches(WithCase(facts, std::toupper)) == matched);
  Require(parsed->Matches(WithCase(facts, std::tolower)) == matched);
  CheckFilters(expression, facts, matched);
  CheckSearch(registered, std::string(expression), *parsed);
  return 0;
}
