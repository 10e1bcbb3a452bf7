#include "app/qt/machine_start.h"

#include "app/qt/machine_chooser.h"
#include "store/portable/machine_offers.h"

namespace korvanta::app::qt {
namespace fs = std::filesystem;

namespace {

fs::path DemoFactsFrom(const std::vector<fs::path>& templates) {
  for (const fs::path& templ : templates) {
    std::error_code ec;
    if (fs::is_regular_file(templ / "system.reg", ec)) return templ / "system.reg";
  }
  return {};
}

StartMachine Open(const store::MachineOffer& offer, const store::MachineEnvironment& env,
                  const std::vector<fs::path>& templates) {
  StartMachine start;
  start.chosen = offer.demo ? store::ChooseDemoMachine(env, templates)
                            : store::ChooseMachine(offer.prefix.path, env, templates);
  start.title = store::MachineTitle(offer.prefix);
  return start;
}

}  // namespace

StartMachine ChooseStartMachine(const std::optional<std::string>& named,
                                const store::MachineEnvironment& env,
                                const std::vector<fs::path>& templates, bool may_ask) {
  StartMachine start;
  std::error_code ec;
  if (named && !fs::is_directory(*named, ec)) {
    store::NamedMachine found = store::FindMachineNamed(store::OfferMachines(env), *named);
    if (!found.offer) {
      start.chosen.error = found.error;
      return start;
    }
    return Open(*found.offer, env, templates);
  }
  if (named || env.wineprefix || !may_ask) {
    start.chosen = store::ChooseMachine(named ? std::optional<fs::path>(*named) : std::nullopt, env,
                                        templates);
    return start;
  }
  std::vector<store::MachineOffer> offers = store::OfferMachines(env, DemoFactsFrom(templates));
  std::size_t found = offers.size() - (!offers.empty() && offers.back().demo ? 1 : 0);
  if (found == 1) return Open(offers.front(), env, templates);
  if (found == 0) {
    start.chosen = store::ChooseMachine(std::nullopt, env, templates);
    return start;
  }
  MachineChooser chooser(std::move(offers));
  if (chooser.exec() != QDialog::Accepted || !chooser.chosen()) {
    start.cancelled = true;
    return start;
  }
  // Offered first next time; a choice that cannot be kept costs only that.
  store::RememberMachine(env, chooser.chosen()->prefix.path);
  return Open(*chooser.chosen(), env, templates);
}

void ListMachines(std::ostream& out, const store::MachineEnvironment& env) {
  for (const store::MachineOffer& offer : store::OfferMachines(env)) {
    out << offer.prefix.origin << '\t' << offer.prefix.name << '\t' << offer.prefix.path.string()
        << '\n';
  }
}

}  // namespace korvanta::app::qt
