// Runs the main window's test classes in one application object (the program's own, so errors that
// reach the event boundary are handled as in the program).
#include "zqApplication.h"
#include "zqRegisterTypes.h"

#include <QTest>

#include <memory>

std::vector<std::unique_ptr<QObject>> MakeStartupTests();
std::vector<std::unique_ptr<QObject>> MakeParameterTests();
std::vector<std::unique_ptr<QObject>> MakePlotTests();
std::vector<std::unique_ptr<QObject>> MakePowerTests();
std::vector<std::unique_ptr<QObject>> MakeMenuTests();
std::vector<std::unique_ptr<QObject>> MakeCliTests();
std::vector<std::unique_ptr<QObject>> MakeDesktopTests();
std::vector<std::unique_ptr<QObject>> MakePhysicsTests();
std::vector<std::unique_ptr<QObject>> MakeColumnTests();
std::vector<std::unique_ptr<QObject>> MakeViewsTests();

int main(int argc, char** argv) {
  RegisterDatafileTypes();
  zqApplication app(argc, argv);
  int failed = 0;
  for (auto make : {MakeStartupTests, MakeParameterTests, MakePlotTests, MakePowerTests, MakeMenuTests,
                    MakeCliTests, MakeDesktopTests, MakePhysicsTests, MakeColumnTests, MakeViewsTests})
    for (auto& test : make())
      failed += QTest::qExec(test.get(), argc, argv) != 0;
  return failed;
}
