// Collects the Qt Test classes of the UI test binary so each file registers its own.
#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace tromel::test {

using UiTestFactory = std::function<std::unique_ptr<QObject>()>;

std::vector<UiTestFactory>& uiTests();

template <typename TestClass>
bool registerUiTest() {
    uiTests().push_back([] { return std::make_unique<TestClass>(); });
    return true;
}

}  // namespace tromel::test
