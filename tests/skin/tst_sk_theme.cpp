#include "skin/sk_styled.h"
#include "skin/base/sk_theme.h"
#include "tests/support/test_env.h"

#include <QGuiApplication>
#include <QtTest>

using namespace skTheme;

namespace {

using Row = std::array<int, 5>; // MacOS, WinXP, DeepBlue, Protein, BlueGlass

constexpr UIStyle kThemes[] = {UIStyle::MacOS, UIStyle::WinXP, UIStyle::DeepBlue,
                               UIStyle::Protein, UIStyle::BlueGlass};

} // namespace

class TestSkTheme : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void integers_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<Row>("values");
        QTest::newRow("1 theme number") << 1 << Row{1, 2, 3, 4, 5};
        QTest::newRow("4 border width") << 4 << Row{1, 3, 1, 1, 1};
        QTest::newRow("5 minimum width") << 5 << Row{130, 150, 130, 130, 270};
        QTest::newRow("6 corner rounding") << 6 << Row{0, 13, 0, 0, 11};
        QTest::newRow("19 menu item height") << 19 << Row{20, 21, 21, 21, 21};
        QTest::newRow("20 separator height") << 20 << Row{12, 5, 5, 5, 5};
        QTest::newRow("21 side bar width") << 21 << Row{26, 26, 26, 26, 26};
        QTest::newRow("66 left buttons") << 66 << Row{3, 2, 0, 0, 4};
        QTest::newRow("67 right buttons") << 67 << Row{-2, -2, 0, 0, -3};
        QTest::newRow("68 button top") << 68 << Row{4, 5, 2, 2, 6};
        QTest::newRow("72 tab strip") << 72 << Row{34, 19, 22, 22, 22};
    }

    void integers()
    {
        QFETCH(int, item);
        QFETCH(Row, values);
        QCOMPARE(kind(item), Kind::Integer);
        for (int t = 0; t < 5; ++t)
            QCOMPARE(integer(kThemes[t], item), std::optional<int>(values[t]));
    }

    void colours_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<Row>("values");
        QTest::newRow("2") << 2 << Row{0x7F7F7F, 0x002CC8, 0, 0, 0};
        QTest::newRow("3") << 3 << Row{0xE7E7E7, 0xEFEBDE, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7};
        QTest::newRow("7") << 7 << Row{0x7F7F7F, 0x686868, 0, 0, 0};
        QTest::newRow("8") << 8 << Row{0xE7E7E7, 0xEFEBDE, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7};
        QTest::newRow("9") << 9 << Row{0, 0x0246CF, 0, 0, 0};
        QTest::newRow("10") << 10 << Row{0, 0x3169C6, 0x444AA0, 0x2D30C4, 0x5E5EEC};
        QTest::newRow("11") << 11 << Row{0, 0xC6D3EF, 0x444AA0, 0x2D30C4, 0x5E5EEC};
        QTest::newRow("12") << 12 << Row{0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
        QTest::newRow("13") << 13 << Row{0, 0, 0, 0, 0};
        QTest::newRow("14") << 14 << Row{0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7};
        QTest::newRow("15") << 15 << Row{0, 0, 0, 0, 0};
        QTest::newRow("16") << 16 << Row{0, 0xD6D3CE, 0xD6D3CE, 0xD6D3CE, 0xD6D3CE};
        QTest::newRow("17") << 17 << Row{0, 0x848284, 0x848284, 0x848284, 0x848284};
        QTest::newRow("18") << 18 << Row{0, 0xADA69C, 0xADA69C, 0xADA69C, 0xADA69C};
        QTest::newRow("73") << 73 << Row{0xE7E7E7, 0xEFEBDE, 0xE8E8E8, 0xFBFBFB, 0xD5D6E9};
    }

    void colours()
    {
        QFETCH(int, item);
        QFETCH(Row, values);
        QCOMPARE(kind(item), Kind::Colour);
        for (int t = 0; t < 5; ++t)
            QCOMPARE(colour(kThemes[t], item)->rgb(), QColor::fromRgb(QRgb(values[t])).rgb());
    }

    void transparentTitleButtons()
    {
        const bool expected[] = {false, false, false, true, true};
        for (int t = 0; t < 5; ++t)
            QCOMPARE(flag(kThemes[t], 65), std::optional<bool>(expected[t]));
    }

    void lookupOutsideTheBuiltInThemesGivesNothing_data()
    {
        QTest::addColumn<int>("theme");
        QTest::newRow("Custom") << 0;
        QTest::newRow("6") << 6;
        QTest::newRow("-1") << -1;
    }

    void lookupOutsideTheBuiltInThemesGivesNothing()
    {
        QFETCH(int, theme);
        const auto style = static_cast<UIStyle>(theme);
        QVERIFY(!integer(style, 1));
        QVERIFY(!colour(style, 2));
        QVERIFY(!flag(style, 65));
        QVERIFY(!bitmapName(style, 23));
        QVERIFY(skThemePixmap(style, 23).isNull());
    }

    void lookupOfTheWrongKind_data()
    {
        QTest::addColumn<int>("item");
        QTest::newRow("colour item") << 2;
        QTest::newRow("integer item") << 5;
        QTest::newRow("flag item") << 65;
        QTest::newRow("bitmap item") << 23;
        QTest::newRow("no such item") << 74;
    }

    void lookupOfTheWrongKind()
    {
        QFETCH(int, item);
        const Kind k = kind(item);
        for (UIStyle t : kThemes) {
            if (k != Kind::Integer)
                QCOMPARE(*integer(t, item), -1);
            if (k != Kind::Colour)
                QCOMPARE(colour(t, item)->rgb(), QColor(Qt::black).rgb());
            if (k != Kind::Flag)
                QCOMPARE(*flag(t, item), false);
            if (k != Kind::Bitmap || item > Item::Count)
                QCOMPARE(*bitmapName(t, item), QString());
        }
    }

    void bitmapNames_data()
    {
        QTest::addColumn<UIStyle>("theme");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("name");
        QTest::newRow("menu check") << UIStyle::Protein << 22 << "MENU_CHECKED";
        QTest::newRow("button") << UIStyle::WinXP << 23 << "WINXP_BUTTON_NORMAL";
        QTest::newRow("button down") << UIStyle::BlueGlass << 25 << "BLUEGLASS_BUTTON_MOUSEDOWN";
        QTest::newRow("disabled tick") << UIStyle::WinXP << 26 << "WINXP_CHECKBOX_DISABLE_CHECK";
        QTest::newRow("xp hover tick") << UIStyle::WinXP << 30 << "WINXP_CHECKBOX_MOUSEON_CHECK";
        QTest::newRow("xp down clear")
            << UIStyle::WinXP << 33 << "WINXP_CHECKBOX_MOUSEDOWN_UNCHECK";
        QTest::newRow("deepblue hover tick")
            << UIStyle::DeepBlue << 30 << "DEEPBLUE_CHECKBOX_CHECK";
        QTest::newRow("deepblue clear") << UIStyle::DeepBlue << 29 << "DEEPBLUE_CHECKBOX_UNCHECK";
        QTest::newRow("radio") << UIStyle::MacOS << 41 << "MACOS_RADIOBUTTON_UNCHECK";
        QTest::newRow("xp radio") << UIStyle::WinXP << 36 << "WINXP_RADIOBUTTON_NORMAL_CHECK";
        QTest::newRow("bar") << UIStyle::WinXP << 43 << "WINXP_PROGRESSBAR_V";
        QTest::newRow("title") << UIStyle::Protein << 45 << "PROTEIN_TITLE_CLIENT";
        QTest::newRow("close") << UIStyle::WinXP << 48 << "WINXP_TITLEBTN_CLOSE_MOUSEON";
        QTest::newRow("control box") << UIStyle::MacOS << 61 << "MACOS_TITLEBTN_CTLBOX_MOUSEDOWN";
        QTest::newRow("xp restore") << UIStyle::WinXP << 62 << "WINXP_TITLEBTN_RST_NORMAL";
        QTest::newRow("other restore")
            << UIStyle::DeepBlue << 64 << "DEEPBLUE_TITLEBTN_MAX_MOUSEDOWN";
        QTest::newRow("tab") << UIStyle::DeepBlue << 69 << "DEEPBLUE_TAB_ACTIVE";
        QTest::newRow("tab line") << UIStyle::WinXP << 71 << "WINXP_TAB_LINE";
    }

    void bitmapNames()
    {
        QFETCH(UIStyle, theme);
        QFETCH(int, item);
        QFETCH(QString, name);
        QCOMPARE(bitmapName(theme, item), std::optional<QString>(name));
    }

    void everyBitmapIsAResource()
    {
        for (const QString &name : allBitmapNames())
            QVERIFY2(!skThemePixmap(name).isNull(), qPrintable(name));
        for (UIStyle t : kThemes)
            for (int item = 1; item <= Item::Count; ++item)
                QCOMPARE(skThemePixmap(t, item).isNull(), kind(item) != Kind::Bitmap);
    }

    void winXPBitmapSizes_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QSize>("size");
        QTest::newRow("menu check") << 22 << QSize(16, 16);
        QTest::newRow("button") << 24 << QSize(18, 21);
        QTest::newRow("check box") << 31 << QSize(13, 13);
        QTest::newRow("radio button") << 38 << QSize(13, 13);
        QTest::newRow("progress bar") << 42 << QSize(6, 10);
        QTest::newRow("vertical bar") << 43 << QSize(10, 6);
        QTest::newRow("title left") << 44 << QSize(35, 29);
        QTest::newRow("title client") << 45 << QSize(37, 29);
        QTest::newRow("title right") << 46 << QSize(35, 29);
        QTest::newRow("title button") << 52 << QSize(21, 21);
        QTest::newRow("restore button") << 63 << QSize(21, 21);
        QTest::newRow("tab active") << 69 << QSize(9, 18);
        QTest::newRow("tab inactive") << 70 << QSize(9, 18);
        QTest::newRow("tab line") << 71 << QSize(8, 1);
    }

    void winXPBitmapSizes()
    {
        QFETCH(int, item);
        QFETCH(QSize, size);
        QCOMPARE(skThemePixmap(UIStyle::WinXP, item).size(), size);
    }
};

HARVELO_TEST_MAIN(TestSkTheme, QGuiApplication)
#include "tst_sk_theme.moc"
