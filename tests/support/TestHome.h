// A GoogleTest listener that gives every test its own empty program folder.
#pragma once

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace quire::test {

class FreshHomeListener : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override {
        home_ = std::make_unique<QTemporaryDir>();
        qputenv("QUIRE_HOME", home_->path().toLocal8Bit());
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        qunsetenv("QUIRE_HOME");
        home_.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> home_;
};

} // namespace quire::test
