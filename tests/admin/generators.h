// RapidCheck's generators of the simulated administrator's servers and
// presses. Each shrinks towards the demo server, fewer changes, fewer
// presses, the first values of the pools and no fault.
#pragma once

#include <rapidcheck.h>

#include <algorithm>
#include <vector>

#include "platform/text.h"
#include "tests/admin/world.h"

namespace admin {

// A change of the card's own files, of a profile's, of the records, or of
// anything on the server.
inline rc::Gen<Mutation> GenFileMutation(std::vector<Mutation::Kind> kinds, const std::vector<std::string>& paths) {
  using namespace rc;
  return gen::map(gen::pair(gen::elementOf(kinds), gen::elementOf(paths)),
                  [](std::pair<Mutation::Kind, std::string> p) { return Mutation{p.first, p.second}; });
}

inline rc::Gen<Mutation> GenAnyMutation(Base base) {
  using namespace rc;
  return gen::mapcat(gen::inRange(0, static_cast<int>(Mutation::kKindCount)), [base](int kind) {
    const auto k = static_cast<Mutation::Kind>(kind);
    Gen<std::string> path =
        gen::weightedOneOf<std::string>({{1, gen::elementOf(World::FilesOf(base))},
                                         {3, gen::elementOf(World::RoadFilesOf(base))},
                                         {2, gen::elementOf(World::StrayPlaces())}});
    if (k == Mutation::kStray) path = gen::elementOf(World::StrayPlaces());
    if (k == Mutation::kNoCardFiles || k == Mutation::kNoRecords)
      path = gen::element<std::string>("rtsnd", "pcind", "MYNIC");
    if (k == Mutation::kDropRecord) path = gen::elementOf(World::RecordsOf(base));
    if (k == Mutation::kBadRecord) path = gen::just(std::string());
    if (k == Mutation::kRename) path = gen::element<std::string>("NEWNAME", "KORRIN2");
    return gen::map(path, [k](std::string p) { return Mutation{k, std::move(p)}; });
  });
}

inline rc::Gen<Mutation> GenMutation(Base base) {
  using namespace rc;
  using M = Mutation;
  return gen::weightedOneOf<Mutation>(
      {{3, GenAnyMutation(base)},
       {2, GenFileMutation({M::kDelete, M::kEdit, M::kReadOnly, M::kFolder, M::kStray, M::kDamage},
                           World::StrayPlaces())},
       {2, GenFileMutation({M::kDelete, M::kEdit, M::kReadOnly, M::kFolder, M::kDamage}, World::ProfileFilesOf(base))},
       {1, GenFileMutation({M::kNoCardFiles, M::kNoRecords}, {"rtsnd", "pcind", "MYNIC"})},
       {1, GenFileMutation({M::kRename}, {"NEWNAME"})}});
}

// The state of one card: registered whole (most often), lacking a file,
// with a boot-block file edited by hand, both, its records without its files,
// its files without its records; a card never registered may have a file
// left where its own would be.
// The database lines of a card's configurations that no profile names:
// those its registration made, which a server can lack alone.
inline std::vector<std::string> LoneConfigurations(Base base, const std::string& block) {
  std::vector<std::string> boots, lines;
  auto fields = [](const std::string& line) {
    std::vector<std::string> f;
    for (size_t at = 0, tab; at <= line.size(); at = tab + 1) {
      tab = std::min(line.find('\t', at), line.size());
      f.push_back(line.substr(at, tab - at));
    }
    return f;
  };
  const std::vector<std::string>& records = World::RecordsOf(base);
  for (const std::string& r : records)
    if (r.rfind("BOOT\t", 0) == 0 && platform::Lower(r).find("\\" + platform::Lower(block) + "\\") != std::string::npos)
      boots.push_back(fields(r)[1]);
  for (const std::string& r : records) {
    const std::vector<std::string> f = fields(r);
    if (f[0] != "CONFIG" || f.size() < 3 || std::find(boots.begin(), boots.end(), f[2]) == boots.end()) continue;
    if (std::none_of(records.begin(), records.end(), [&](const std::string& p) {
          return p.rfind("PROFILE\t", 0) == 0 && p.find("\t" + f[1] + "\t") != std::string::npos;
        }))
      lines.push_back(r);
  }
  return lines;
}

inline rc::Gen<std::vector<Mutation>> GenCard(Base base, const std::string& block, bool registered) {
  using namespace rc;
  using M = Mutation;
  const std::string driver = "C:\\WINNT\\rpl\\bblock\\ndis\\" + block + ".dos";
  const std::string folder = "C:\\WINNT\\rpl\\bblock\\netbeui\\" + block + "\\";
  const std::vector<std::string> blocks = {folder + "dosbb.cnf", folder + "w95bb.cnf", folder + "protocol.ini"};
  std::vector<std::string> all = blocks;
  all.push_back(driver);
  auto one = [](M::Kind kind, const std::vector<std::string>& paths) {
    return gen::map(gen::elementOf(paths), [kind](std::string p) { return std::vector<M>{{kind, p}}; });
  };
  const std::vector<std::string> lone = LoneConfigurations(base, block);
  if (!registered)
    return gen::weightedOneOf<std::vector<M>>({{9, gen::just(std::vector<M>{})}, {1, one(M::kStray, all)}});
  return gen::weightedOneOf<std::vector<M>>(
      {{5, gen::just(std::vector<M>{})},
       {1, one(M::kDelete, all)},
       {1, one(M::kEdit, blocks)},
       {1, gen::map(gen::pair(gen::elementOf(all), gen::elementOf(blocks)),
                    [](std::pair<std::string, std::string> p) {
                      return p.first == p.second ? std::vector<M>{{M::kDelete, p.first}}
                                                 : std::vector<M>{{M::kDelete, p.first}, {M::kEdit, p.second}};
                    })},
       {1, gen::just(std::vector<M>{{M::kNoCardFiles, block}})},
       {1, gen::just(std::vector<M>{{M::kNoRecords, block}})},
       {1, lone.empty() ? gen::just(std::vector<M>{}) : one(M::kDropRecord, lone)}});
}

inline rc::Gen<Shape> GenShape() {
  using namespace rc;
  return gen::mapcat(gen::inRange(0, static_cast<int>(kBaseCount)), [](int b) {
    const Base base = static_cast<Base>(b);
    const bool rtl8139 = base == kRpl8139 || base == kRplOnly || base == kAllCards, all = base == kAllCards;
    return gen::map(gen::tuple(GenCard(base, "rtsnd", rtl8139), GenCard(base, "pcind", all),
                               GenCard(base, "MYNIC", all),
                               gen::resize(3, gen::container<std::vector<Mutation>>(GenMutation(base))),
                               gen::weightedElement<bool>({{9, false}, {1, true}})),
                    [base](std::tuple<std::vector<Mutation>, std::vector<Mutation>, std::vector<Mutation>,
                                      std::vector<Mutation>, bool> t) {
                      Shape shape{base, std::get<0>(t), std::get<4>(t)};
                      for (auto* more : {&std::get<1>(t), &std::get<2>(t), &std::get<3>(t)})
                        shape.mutations.insert(shape.mutations.end(), more->begin(), more->end());
                      return shape;
                    });
  });
}

inline rc::Gen<platform::Fault> GenFault() {
  using namespace rc;
  return gen::weightedOneOf<platform::Fault>(
      {{6, gen::just(platform::Fault{})},
       {3, gen::map(gen::inRange(0, 60), [](int at) { return platform::Fault{platform::Fault::kChange, at}; })},
       {1, gen::map(gen::pair(gen::element(platform::Fault::kProgramFails, platform::Fault::kProgramHangs),
                              gen::inRange(0, 3)),
                    [](std::pair<platform::Fault::Kind, int> p) { return platform::Fault{p.first, p.second}; })}});
}

inline rc::Gen<Press> GenPress() {
  using namespace rc;
  // The buttons of the roads come often, the rest now and then.
  const auto act = gen::weightedElement<int>({
      {3, Press::kType},     {4, Press::kGenerate},   {1, Press::kNamesFile}, {2, Press::kPdk},
      {3, Press::kBootImage}, {5, Press::kDetect},    {5, Press::kRegister},  {4, Press::kUpdate},
      {4, Press::kChoose},   {5, Press::kInstall},    {3, Press::kAutoRegister}, {1, Press::kService},
      {1, Press::kExit},     {1, Press::kScriptEnds}, {2, Press::kManager},   {2, Press::kCheck},
      {5, Press::kAdvice},   {4, Press::kDetectRegister}, {2, Press::kRunFile}, {1, Press::kSaveRun}, {2, Press::kUndo}});
  return gen::map(gen::tuple(act, gen::inRange(0, 16), gen::inRange(0, 16),
                             gen::inRange(0, 16), gen::inRange(0, 16), GenFault()),
                  [](std::tuple<int, int, int, int, int, platform::Fault> t) {
                    return Press{static_cast<Press::Act>(std::get<0>(t)), std::get<1>(t), std::get<2>(t),
                                 std::get<3>(t), std::get<4>(t), std::get<5>(t)};
                  });
}

inline rc::Gen<std::vector<Press>> GenPresses() {
  using namespace rc;
  return gen::resize(20, gen::nonEmpty(gen::container<std::vector<Press>>(GenPress())));
}

}  // namespace admin
