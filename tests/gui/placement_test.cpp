// Where the window opens and what it remembers: it fits the free area of
// any screen with the Start button on it, and keeps its size, place and
// choices between starts.
#include <QtTest>

#include <QCheckBox>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>

#include "app/gui/main_window.h"
#include "app/gui/run_settings.h"
#include "app/gui/window_placement.h"
#include "tests/gui/gui_support.h"
#include "tests/support/run_folder.h"

namespace ct::testing {

namespace {

// The Start button lies wholly inside `area`, and the window too.
bool StartButtonInside(gui::TForm1& window, const QRect& area) {
  auto* start = Control<QPushButton>(window, "btn1");
  QRect button(start->mapToGlobal(QPoint(0, 0)), start->size());
  return area.contains(window.frameGeometry()) && area.contains(button) && start->isVisible();
}

}  // namespace

class PlacementTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ForgetSettings(); }

  void fitIntoScreen_data() {
    QTest::addColumn<QRect>("wanted");
    QTest::addColumn<bool>("positioned");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("placed");
    const QRect desktop(0, 0, 1920, 1080);
    QTest::newRow("fits where it is") << QRect(100, 50, 1217, 807) << true << desktop << QRect(100, 50, 1217, 807);
    QTest::newRow("centred without a place") << QRect(0, 0, 1217, 807) << false << desktop
                                             << QRect(351, 136, 1217, 807);
    QTest::newRow("shrunk to a laptop's free area") << QRect(0, 0, 1217, 807) << false << QRect(0, 0, 1366, 728)
                                                    << QRect(74, 0, 1217, 728);
    QTest::newRow("192 dpi on 2560x1440") << QRect(0, 0, 1217, 807) << false << QRect(0, 0, 1280, 690)
                                          << QRect(31, 0, 1217, 690);
    QTest::newRow("moved back onto the screen") << QRect(1800, 900, 1217, 807) << true << desktop
                                                << QRect(703, 273, 1217, 807);
    QTest::newRow("on a second screen") << QRect(0, 0, 1217, 807) << true << QRect(1920, 0, 1280, 720)
                                        << QRect(1920, 0, 1217, 720);
  }

  void fitIntoScreen() {
    QFETCH(QRect, wanted);
    QFETCH(bool, positioned);
    QFETCH(QRect, available);
    QFETCH(QRect, placed);
    QCOMPARE(gui::FitIntoScreen(wanted, positioned, available), placed);
  }

  void recentFolders() {
    QStringList folders;
    for (int i = 0; i < 10; ++i) folders = gui::WithRecentFolder(folders, QString::number(i));
    QCOMPARE(folders.size(), gui::kRecentFolders);
    QCOMPARE(folders.front(), QStringLiteral("9"));
    folders = gui::WithRecentFolder(folders, QStringLiteral("5"));
    QCOMPARE(folders.mid(0, 3), (QStringList{"5", "9", "8"}));
    QCOMPARE(folders.count(QStringLiteral("5")), 1);
  }

  // Run on screens of several sizes (see CMakeLists.txt): whatever the
  // screen, the window opens on it with the Start button visible.
  void opensWithTheStartButtonOnTheScreen() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect available = window.screen()->availableGeometry();
    QVERIFY2(StartButtonInside(window, available), qPrintable(QStringLiteral("screen %1x%2, window %3x%4")
                                                                  .arg(available.width())
                                                                  .arg(available.height())
                                                                  .arg(window.width())
                                                                  .arg(window.height())));
    if (available.width() >= 1217 && available.height() >= 807) QCOMPARE(window.size(), QSize(1217, 807));
  }

  void clampsToAnySmallArea_data() {
    QTest::addColumn<QRect>("available");
    QTest::newRow("1366x768 with a panel") << QRect(0, 24, 1366, 744);
    QTest::newRow("1024x600 netbook") << QRect(0, 0, 1024, 600);
    QTest::newRow("a small second screen") << QRect(1920, 100, 1100, 560);
  }

  void clampsToAnySmallArea() {
    QFETCH(QRect, available);
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    window.FitInto(available);
    QVERIFY(available.contains(window.geometry()));
    // The layout gives every control its place within that size: the
    // bottom panel, Start included, is inside the window.
    window.layout()->activate();
    QVERIFY(window.minimumSizeHint().height() <= available.height());
    auto* start = Control<QPushButton>(window, "btn1");
    QRect button(start->mapTo(&window, QPoint(0, 0)), start->size());
    QVERIFY(window.rect().contains(button));
    QVERIFY(button.height() >= 24);
  }

  void sizePlaceAndChoicesAreRemembered() {
    TempFolder first_folder, second_folder;
    FakeDialogs dialogs;
    {
      gui::TForm1 window(first_folder.path(), dialogs);
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      window.setGeometry(40, 30, 1000, 700);
      Control<QCheckBox>(window, "chk1")->setChecked(false);
      Control<QRadioButton>(window, "rb2")->setChecked(true);
      QVERIFY(window.close());
    }
    gui::TForm1 window(second_folder.path(), dialogs);
    QVERIFY(!Control<QCheckBox>(window, "chk1")->isChecked());
    QVERIFY(Control<QRadioButton>(window, "rb2")->isChecked());
    QCOMPARE(window.size(), QSize(1000, 700));
    QCOMPARE(window.pos(), QPoint(40, 30));
    QStringList recent = gui::UserSettings().value(gui::setting_keys::kRecentFolders).toStringList();
    QCOMPARE(recent.size(), 2);
    QVERIFY(recent[0].endsWith(QString::fromStdString(second_folder.path().filename().string())));
  }
};

}  // namespace ct::testing

QTEST_MAIN(ct::testing::PlacementTest)
#include "placement_test.moc"
