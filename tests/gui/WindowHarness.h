#pragma once

// Drives a main window built on a FakePlatform: starts it as the program does, finds its controls by
// objectName and plays the user's clicks.

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "FakePlatform.h"
#include "app/MainWindow.h"

namespace keelwright::test {

class WindowHarness {
protected:
    // Called from each test class's init() and cleanup() slots.
    void setUpWindowTest() {
        dir_ = std::make_unique<QTemporaryDir>();
        fake_ = std::make_unique<FakePlatform>();
    }
    void tearDownWindowTest() {
        window_.reset();
        fake_.reset();
        dir_.reset();
    }
    // A new window test within one test function, for a table of cases that each need a fresh start.
    void restartWindowTest() {
        tearDownWindowTest();
        setUpWindowTest();
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakePlatform> fake_;
    std::unique_ptr<MainWindow> window_;

    // A file in the test's temporary folder.
    QString file(const QString& name, const QByteArray& bytes = "x") {
        const QString path = dir_->filePath(name);
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        return path;
    }

    // A client file in the test's folder that its box accepts: a copy of the example of its kind, by suffix.
    QString clientFile(const QString& name) {
        const QString suffix = QFileInfo(name).suffix().toLower();
        return file(name, bytesOf(example(suffix == "idx"   ? "client/Multi.idx"
                                          : suffix == "mul" ? "client/Multi.mul"
                                                            : "client/MultiCollection.uop")));
    }

    QString example(const char* name) { return QString(KEELWRIGHT_EXAMPLES) + "/" + name; }

    // A window as the program starts it, with Components.txt from the examples unless given.
    void start(QString componentsPath = {}) {
        window_ = std::make_unique<MainWindow>(
            fake_->platform(), componentsPath.isNull() ? example("Components.txt") : componentsPath);
        window_->startUp();
        window_->showCentred();
    }

    template <typename Control>
    Control* child(const char* name) {
        auto* control = window_->findChild<Control*>(name);
        if (control == nullptr) {
            qFatal("no control named %s", name);
        }
        return control;
    }
    QLineEdit* box(const char* name) { return child<QLineEdit>(name); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QRadioButton* option(const char* name) { return child<QRadioButton>(name); }
    QLabel* label(const char* name) { return child<QLabel>(name); }

    void load(const QString& path) {
        fake_->fileAnswers.push_back(path);
        QTest::mouseClick(button("cmdLoad"), Qt::LeftButton);
    }

    // The client files the path boxes name, once startWithClientFiles has made them.
    QString idx_;
    QString mul_;

    static QByteArray bytesOf(const QString& path) {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(missing)");
    }

    // A started window whose path boxes name copies of the example client files (5 slots used, slot 5
    // the first free one, Multi.mul 456 bytes), or the index given.
    void startWithClientFiles(const QByteArray& index = {}) {
        idx_ = index.isNull() ? file("Multi.idx", bytesOf(example("client/Multi.idx")))
                              : file("Multi.idx", index);
        mul_ = file("Multi.mul", bytesOf(example("client/Multi.mul")));
        start();
        box("txtMultiIdx")->setText(idx_);
        box("txtMultiMul")->setText(mul_);
    }

    static std::int32_t int32At(const QByteArray& bytes, qsizetype at) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
        }
        return static_cast<std::int32_t>(value);
    }

    void patch() { QTest::mouseClick(button("cmdPatch"), Qt::LeftButton); }
};

}  // namespace keelwright::test
