// The Qt smoke run: korvanta --smoke under Xvfb on a fresh demo machine must save
// a picture of every window the tour shows, each the size of its form and not
// one flat colour. The tour run headless tells which pictures and sizes to expect.

#include <gtest/gtest.h>

#include <QImage>
#include <map>
#include <set>
#include <sstream>

#include "app/smoke_tour.h"
#include "drive/drive_host.h"
#include "qt/qt_test_support.h"
#include "services/program.h"
#include "store/portable/machine_choice.h"
#include "store/portable/machine_portable.h"
#include "ui/qt/units.h"

namespace korvanta::ui::qt {
namespace {
namespace fs = std::filesystem;

// Writes down what each picture would show: the form's size in pixels.
class ExpectingCamera final : public app::SmokeCamera {
 public:
  void Settle() override {}
  bool Shoot(ui::Form& form, const std::string& name) override {
    expected[name] = QSize(ToPixels(form.rect().width), ToPixels(form.rect().height));
    return true;
  }
  std::map<std::string, QSize> expected;
};

std::map<std::string, QSize> ExpectedPictures(const fs::path& scratch) {
  store::Machine machine(store::OpenMachineFolder(test::CopyDemoMachine(scratch)));
  std::ostringstream out;
  drive::DriveHost host(out);
  store::SystemClock clock;
  services::Program program(machine, host, clock, app::FormFactories());
  host.set_program(&program);
  ExpectingCamera camera;
  EXPECT_TRUE(app::RunSmokeTour(program, camera).empty());
  return camera.expected;
}

TEST(QtSmoke, EveryWindowIsPictured) {
  korvanta::test::TempDir scratch;
  std::map<std::string, QSize> expected = ExpectedPictures(scratch.path());
  ASSERT_GE(expected.size(), 20u);
  ASSERT_TRUE(expected.count("Formqd") && expected.count("Formmain-page8"));

  fs::path base = KORVANTA_SMOKE_DIR;
  fs::remove_all(base);
  fs::create_directories(base);
  fs::path machine = test::CopyDemoMachine(base);
  fs::path pictures = base / "pictures";
  std::string command = "xvfb-run -a -s '-screen 0 1280x1024x24' " +
                        korvanta::test::ShellQuote(KORVANTA_QT_PROGRAM) + " --machine " +
                        korvanta::test::ShellQuote(machine.string()) + " --smoke " +
                        korvanta::test::ShellQuote(pictures.string()) + " 2>&1";
  korvanta::test::RunResult run = korvanta::test::Run(command);
  ASSERT_EQ(run.status, 0) << run.out;

  for (const auto& [name, size] : expected) {
    fs::path file = pictures / (name + ".png");
    QImage image(QString::fromStdString(file.string()));
    ASSERT_FALSE(image.isNull()) << "no picture " << file;
    EXPECT_EQ(image.size(), size) << name;
    std::set<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() < 16; y += 3) {
      for (int x = 0; x < image.width() && colours.size() < 16; x += 3)
        colours.insert(image.pixel(x, y));
    }
    EXPECT_GE(colours.size(), 16u) << name << " is nearly one flat colour";
  }
}

}  // namespace
}  // namespace korvanta::ui::qt
