#include "TestSupport.h"

#include "views/blocks/Binding.h"
#include "views/blocks/Safe.h"
#include "views/blocks/SectionView.h"
#include "views/blocks/SectionView2C.h"
#include "views/blocks/TitleView.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

class TestBlocks : public QObject {
    Q_OBJECT
private slots:
    void safeWritesOnlyItsElement();
    void safeFollowsThePositionNotTheValue();
    void safeOutsideTheListIsHarmless();
    void bindingToVariableNotifies();
    void sectionViewDoesNotDrawItsTitle();
    void sectionView2CPutsAccessoryAtTheEnd();
    void titleViewShowsProductName();
};

void TestBlocks::safeWritesOnlyItsElement() {
    QList<QString> items{"a", "b", "c", "d", "e"};
    int writes = 0;
    auto list = Binding<QList<QString>>::to(&items, [&] { ++writes; });

    Safe<QString> second(list, 2);
    Safe<QString> fourth(list, 4);
    second.binding.set("C");
    QCOMPARE(items, (QList<QString>{"a", "b", "C", "d", "e"}));
    QCOMPARE(second.binding.get(), QString("C"));
    QCOMPARE(writes, 1);

    fourth.binding.set("E");
    QCOMPARE(second.binding.get(), QString("C"));
    QCOMPARE(items, (QList<QString>{"a", "b", "C", "d", "E"}));
}

void TestBlocks::safeFollowsThePositionNotTheValue() {
    QList<QString> items{"a", "b", "c"};
    Safe<QString> first(Binding<QList<QString>>::to(&items), 0);
    items.prepend("z"); // an edit made elsewhere is seen at the next read
    QCOMPARE(first.binding.get(), QString("z"));
}

void TestBlocks::safeOutsideTheListIsHarmless() {
    QList<QString> items{"a", "b"};
    int writes = 0;
    auto list = Binding<QList<QString>>::to(&items, [&] { ++writes; });
    Safe<QString> stale(list, 1);
    items.removeLast();

    QCOMPARE(stale.binding.get(), QString());
    stale.binding.set("x");
    QCOMPARE(items, QList<QString>{"a"});
    QCOMPARE(writes, 0);

    Safe<QString> negative(list, -1);
    QCOMPARE(negative.binding.get(), QString());
    negative.binding.set("y");
    QCOMPARE(items, QList<QString>{"a"});
}

void TestBlocks::bindingToVariableNotifies() {
    int value = 1;
    int changes = 0;
    auto binding = Binding<int>::to(&value, [&] { ++changes; });
    binding.set(5);
    QCOMPARE(value, 5);
    QCOMPARE(binding.get(), 5);
    QCOMPARE(changes, 1);

    Binding<int> empty;
    QVERIFY(!empty.isValid());
    QCOMPARE(empty.get(), 0);
    empty.set(3); // no setter: nothing happens
}

void TestBlocks::sectionViewDoesNotDrawItsTitle() {
    auto *content = new QLabel("inside");
    SectionView section("Options", content);
    QCOMPARE(section.title(), QString("Options"));
    const auto labels = section.findChildren<QLabel *>();
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first()->text(), QString("inside"));
}

void TestBlocks::sectionView2CPutsAccessoryAtTheEnd() {
    auto *accessory = new QPushButton("Show options");
    SectionView2C section("A rather long title for a block of colours", accessory,
                          new QLabel("grid"));
    section.resize(600, 200);
    section.show();
    QVERIFY(QTest::qWaitForWindowExposed(&section));

    QCOMPARE(section.titleLabel()->text(), QString("A rather long title for a block of colours"));
    QCOMPARE(section.titleLabel()->textFormat(), Qt::PlainText);
    const QRect title = section.titleLabel()->geometry();
    const QRect button = accessory->geometry();
    QVERIFY(title.right() < button.left());
    QVERIFY(section.width() - button.right() < 15); // accessory hugs the trailing edge
    QVERIFY(title.left() < 15);

    SectionView2C bare("", nullptr, new QLabel("grid"));
    QCOMPARE(bare.titleContent(), nullptr);
    QCOMPARE(bare.title(), QString());
}

void TestBlocks::titleViewShowsProductName() {
    TitleView title;
    QCOMPARE(title.label()->text(), QString("Swatchbar"));
    QVERIFY(title.sizeHint().height() >= title.label()->sizeHint().height() + 10);
}

SWATCHBAR_TEST_GUI_MAIN(TestBlocks)
#include "test_blocks.moc"
