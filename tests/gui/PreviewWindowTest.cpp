// The Preview command and the preview window, driven by objectName on a scripted platform.
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>
#include <functional>

#include "WindowHarness.h"
#include "app/PreviewCanvas.h"
#include "app/PreviewWindow.h"
#include "app/WindowLook.h"

namespace keelwright::test {

class PreviewWindowTest : public QObject, private WindowHarness {
    Q_OBJECT

private:
    PreviewWindow* preview() { return window_->findChild<PreviewWindow*>("frmPreview"); }
    template <typename Control>
    Control* inPreview(const char* name) {
        auto* control = preview()->findChild<Control*>(name);
        if (control == nullptr) {
            qFatal("no control named %s in the preview", name);
        }
        return control;
    }
    QPushButton* previewButton(const char* name) { return inPreview<QPushButton>(name); }
    QString info() { return inPreview<QLabel>("lblPreviewInfo")->text(); }
    QSize pictureSize() { return inPreview<PreviewCanvas>("imgPreview")->image().size(); }
    void press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void loadText(const QString& path) {
        option("optTxt")->click();
        load(path);
    }
    void ctrlWheel(QWidget* widget, int delta, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &event);
    }

private slots:
    void init() { setUpWindowTest(); }
    void cleanup() { tearDownWindowTest(); }

    void previewFollowsTheLoadedMultiInOneWindowThatIsNotModal() {
        start();
        QVERIFY(!button("cmdPreview")->isEnabled());
        loadText(example("house.txt"));
        QVERIFY(button("cmdPreview")->isEnabled());
        press(button("cmdPreview"));
        QVERIFY(preview() != nullptr && preview()->isVisible());
        QVERIFY(!preview()->isModal());
        QCOMPARE(preview()->windowTitle(), QString("Preview - house.txt"));
        QCOMPARE(pictureSize(), QSize(236, 256));
        QVERIFY2(info().startsWith("236 x 256 pixels: 0 tiles drawn with art, 26 as blocks."),
                 qPrintable(info()));
        QVERIFY(info().contains("choose the client folder"));
        QVERIFY(!fake_->busy);

        // Another script and another press: the same one window shows the new multi.
        loadText(file("one.txt", "6 version\r\n1 template id\r\n-1 item version\r\n1\r\n1193 0 0 0 1\r\n"));
        press(button("cmdPreview"));
        QCOMPARE(window_->findChildren<PreviewWindow*>().size(), 1);
        QCOMPARE(pictureSize(), QSize(44 + 16, 64 + 16));
        QVERIFY(info().contains(": 0 tiles drawn with art, 1 as blocks."));

        // A failed load keeps the multi loaded before, and the preview of it.
        loadText(file("bad.txt", "6 version\r\n1 template id\r\n-1 item version\r\n1\r\nfloor 0 0 0 1\r\n"));
        QVERIFY(button("cmdPreview")->isEnabled());
        press(button("cmdPreview"));
        QCOMPARE(pictureSize(), QSize(44 + 16, 64 + 16));

        QTest::keyClick(preview(), Qt::Key_Escape);
        QTRY_VERIFY(preview() == nullptr);
    }

    void theClientFolderDrawsTheArtAndIsKeptForTheNextStart() {
        start();
        loadText(example("house.txt"));
        press(button("cmdPreview"));
        const QString art = example("art");

        // A folder without art is refused and the blocks stay; a cancelled dialog changes nothing.
        fake_->folderAnswers = {dir_->path(), QString()};
        press(previewButton("cmdArtFolder"));
        press(previewButton("cmdArtFolder"));
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        QVERIFY(fake_->messages[0].text.startsWith(dir_->path() + ": no art files"));
        QCOMPARE(fake_->messages[0].icon, MessageIcon::Warning);
        QCOMPARE(pictureSize(), QSize(236, 256));
        QCOMPARE(fake_->folderRequests[0].second, QFileInfo(example("house.txt")).absolutePath());

        fake_->folderAnswers = {art};
        press(previewButton("cmdArtFolder"));
        QCOMPARE(pictureSize(), QSize(236, 316));
        QVERIFY2(info().startsWith("236 x 316 pixels: 26 tiles drawn with art, 0 as blocks.\nArt from " +
                                   QDir::toNativeSeparators(art + "/artLegacyMUL.uop")),
                 qPrintable(info()));
        QCOMPARE(fake_->folderRequests.back().second, QFileInfo(example("house.txt")).absolutePath());
        QCOMPARE(inPreview<PreviewCanvas>("imgPreview")->image(),
                 QImage(QString(KEELWRIGHT_EXAMPLES) + "/../tests/data/house-art.png")
                     .convertToFormat(QImage::Format_RGBA8888));

        press(button("cmdExit"));
        QCOMPARE(fake_->store["Keelwright/Files/ArtFolder"], art);
        const auto store = fake_->store;
        restartWindowTest();
        fake_->store = store;
        start();
        loadText(example("house.txt"));
        press(button("cmdPreview"));
        QVERIFY(info().startsWith("236 x 316 pixels: 26 tiles drawn with art"));
        fake_->folderAnswers = {QString()};
        press(previewButton("cmdArtFolder"));
        QCOMPARE(fake_->folderRequests.back().second, art);  // the dialog opens in the folder in use
    }

    void aStoredFolderWithoutArtDrawsBlocksAndSaysWhy() {
        fake_->store["Keelwright/Files/ArtFolder"] = dir_->path();
        start();
        loadText(example("house.txt"));
        press(button("cmdPreview"));
        QCOMPARE(pictureSize(), QSize(236, 256));
        QVERIFY2(info().contains("\nDrawn as blocks: " + dir_->path() + ": no art files"),
                 qPrintable(info()));
        QVERIFY(fake_->messages.empty());
    }

    void clientFolderStartsInTheFolderOfTheClientFiles() {
        const struct {
            bool idxBox;
            bool uopBox;
            bool inClientFolder;  // else the script's folder
        } cases[] = {{true, false, true}, {false, true, true}, {false, false, false}};
        for (const auto& c : cases) {
            restartWindowTest();
            QDir(dir_->path()).mkdir("client");
            const QString idx = clientFile("client/Multi.idx");
            const QString uop = clientFile("client/MultiCollection.uop");
            start();
            box("txtMultiIdx")->setText(c.idxBox ? idx : QString());
            box("txtMultiCollection")->setText(c.uopBox ? uop : QString());
            loadText(example("house.txt"));
            press(button("cmdPreview"));
            press(previewButton("cmdArtFolder"));  // cancelled
            QCOMPARE(fake_->folderRequests.back().second,
                     QFileInfo(c.inClientFolder ? idx : example("house.txt")).absolutePath());
        }
    }

    void theWindowGoesBesideTheMainWindowWhereTheScreenHasRoom() {
        const QRect screen(0, 0, 1280, 1024);
        const QSize wanted(480, 400);
        const QSize least(320, 240);
        const struct {
            const char* what;
            QRect opener;
            std::optional<QRect> placed;
        } cases[] = {
            {"right", {0, 0, 500, 400}, QRect(508, 0, 480, 400)},
            {"left", {780, 0, 500, 400}, QRect(292, 0, 480, 400)},
            {"below", {100, 0, 1000, 400}, QRect(100, 408, 480, 400)},
            {"kept on the screen", {0, 800, 500, 200}, QRect(508, 624, 480, 400)},
            {"smaller where no side has room for all of it", {400, 300, 480, 380}, QRect(400, 688, 480, 336)},
            {"no room anywhere", {0, 0, 1280, 1024}, std::nullopt},
        };
        for (const auto& c : cases) {
            QVERIFY2(PlaceBeside(c.opener, wanted, least, screen, 8) == c.placed, c.what);
        }
    }

    void zoomsWithItsButtonsAndCtrlWheelWithinItsSteps() {
        start();
        loadText(example("house.txt"));
        press(button("cmdPreview"));
        auto* canvas = inPreview<PreviewCanvas>("imgPreview");
        const auto zoomLabel = [&] { return inPreview<QLabel>("lblZoom")->text(); };
        QCOMPARE(zoomLabel(), QString("100 %"));
        QCOMPARE(canvas->size(), QSize(236, 256));
        const struct {
            const char* what;
            std::function<void()> act;
            int zoom;
        } steps[] = {
            {"zoom in", [&] { press(previewButton("cmdZoomIn")); }, 200},
            {"ctrl + wheel up", [&] { ctrlWheel(canvas, 120); }, 300},
            {"the wheel alone scrolls", [&] { ctrlWheel(canvas, 120, Qt::NoModifier); }, 300},
            {"half a notch is no step", [&] { ctrlWheel(canvas, 60); }, 300},
            {"the other half is", [&] { ctrlWheel(canvas, 60); }, 400},
            {"ctrl + wheel down twice", [&] { ctrlWheel(canvas, -240); }, 200},
            {"zoom out", [&] { press(previewButton("cmdZoomOut")); }, 100},
            {"down to the smallest", [&] { ctrlWheel(canvas, -120 * 10); }, 25},
        };
        for (const auto& step : steps) {
            step.act();
            QVERIFY2(preview()->zoom() == step.zoom, step.what);
            QCOMPARE(canvas->size(), QSize(236 * step.zoom / 100, 256 * step.zoom / 100));
            QCOMPARE(zoomLabel(), QString::number(step.zoom) + " %");
        }
        QVERIFY(!previewButton("cmdZoomOut")->isEnabled());
        QVERIFY(previewButton("cmdZoomIn")->isEnabled());
        ctrlWheel(canvas, 120 * 10);
        QCOMPARE(preview()->zoom(), 800);
        QVERIFY(!previewButton("cmdZoomIn")->isEnabled());
        QVERIFY(inPreview<QScrollArea>("scrPreview")->horizontalScrollBar()->maximum() > 0);
        QCOMPARE(canvas->image().size(), QSize(236, 256));  // the picture itself keeps its size
    }

    void savesThePictureAsDrawnAsAPngFileOnly() {
        start();
        loadText(example("house.txt"));
        press(button("cmdPreview"));
        press(previewButton("cmdZoomIn"));
        const QString saved = dir_->filePath("house.png");
        const QString notPng = file("Multi.mul", "client bytes");
        fake_->saveAnswers = {QString(), notPng, dir_->filePath("none/house.png"), saved};
        for (int i = 0; i < 4; ++i) {
            press(previewButton("cmdSavePng"));
        }
        QCOMPARE(fake_->saveRequests.size(), std::size_t{4});
        const auto& [request, offered] = fake_->saveRequests[0];
        QCOMPARE(offered, QString("house.png"));
        QCOMPARE(request.folder, QFileInfo(example("house.txt")).absolutePath());
        QCOMPARE(request.defaultExtension, QString(".png"));
        QCOMPARE(bytesOf(notPng), QByteArray("client bytes"));
        QCOMPARE(fake_->messages.size(), std::size_t{2});
        QVERIFY(fake_->messages[0].text.contains("Multi.mul is not one. Nothing was written."));
        QCOMPARE(fake_->messages[1].icon, MessageIcon::Critical);
        QVERIFY(fake_->messages[1].text.contains("none"));
        QVERIFY(!QFileInfo::exists(dir_->filePath("none")));
        const QImage written(saved);
        QCOMPARE(written.size(), QSize(236, 256));
        QCOMPARE(written.convertToFormat(QImage::Format_RGBA8888),
                 inPreview<PreviewCanvas>("imgPreview")->image());
        QVERIFY(info().endsWith("\nSaved as " + QDir::toNativeSeparators(saved) + "."));
        QVERIFY(!fake_->busy);
    }
};

}  // namespace keelwright::test

QTEST_MAIN(keelwright::test::PreviewWindowTest)
#include "PreviewWindowTest.moc"
