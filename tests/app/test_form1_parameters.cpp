#include <QObject>
#include <memory>
#include <vector>
std::vector<std::unique_ptr<QObject>> MakeParameterTests() {
  return {};
}
