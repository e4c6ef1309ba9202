// One Qt application object for a test program that drives widgets: made
// before the first test, on the offscreen platform unless one was chosen,
// and destroyed after the last. Linked as a source into such programs.
#include <QApplication>

#include <gtest/gtest.h>

namespace {

class QtApp : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QApplication::instance()) app_ = new QApplication(argc_, argv_);
    }
    void TearDown() override
    {
        delete app_;
        app_ = nullptr;
    }

private:
    int argc_ = 1;
    char name_[5] = "test";
    char* argv_[2] = {name_, nullptr};
    QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const qtApp = ::testing::AddGlobalTestEnvironment(new QtApp);

}  // namespace
