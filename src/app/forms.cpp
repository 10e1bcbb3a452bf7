#include "app/forms.h"

#include "app/formmain.h"
#include "app/frame_forms.h"
#include "app/password_forms.h"
#include "log/formlog.h"

namespace korvanta::app {
namespace {

template <typename F>
FormFactory Make() {
  return [](Program& program) -> std::unique_ptr<ui::Form> { return std::make_unique<F>(program); };
}

}  // namespace

const std::map<std::string, FormFactory, std::less<>>& FormFactories() {
  static const std::map<std::string, FormFactory, std::less<>> factories = {
      {"Formqd", Make<Formqd>()},
      {"Formmain", Make<Formmain>()},
      {"Formgy", Make<Formgy>()},
      {"Formmsg", Make<Formmsg>()},
      {"Formlog", Make<Formlog>()},
      {"Formpass", Make<Formpass>()},
      {"Formpasscw", Make<Formpasscw>()},
      {"Formpasssz", Make<Formpasssz>()},
      {"Formmacw", Make<Formmacw>()},
      {"Formmacg", Make<Formmacg>()},
      {"Formmaqk", Make<Formmaqk>()},
      {"Formjmmcw", Make<Formjmmcw>()},
      // Tool windows of pages still to come.
      {"Formkzmb", nullptr},
      {"Formggtb", nullptr},
      {"Formoem", nullptr},
      {"Formyjgn", nullptr},
      {"Formqjcw", nullptr},
      {"Formwjlx", nullptr},
  };
  return factories;
}

}  // namespace korvanta::app
