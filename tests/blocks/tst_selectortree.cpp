#include "blocks/root.h"
#include "blocks/scanner.h"
#include "blocks/selectortree.h"
#include "support/blocklists.h"
#include "blocks/selectortreemodel.h"
#include "text/textmodel.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPixmap>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace sheetsmith;

namespace {

// Labels of one group's children, in row order.
QStringList childTexts(const SelectorTree &tree, int group)
{
    const QAbstractItemModel *model = tree.model();
    const QModelIndex parent = model->index(group, 0);
    QStringList out;
    for (int row = 0; row < model->rowCount(parent); ++row)
        out << model->index(row, 0, parent).data().toString();
    return out;
}

Root rootOf(const QList<QPair<QString, QString>> &kindAndId)
{
    Root root;
    qsizetype pos = 0;
    for (const auto &[kind, id] : kindAndId) {
        root.Add(id, kind, pos + 5, pos);
        pos += 10;
    }
    return root;
}

using KindsAndIds = QList<QPair<QString, QString>>;

QIcon solidIcon(Qt::GlobalColor color)
{
    QPixmap pixmap(8, 8);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

class TestSelectorTree : public QObject
{
    Q_OBJECT

private slots:
    void fillTree_data();
    void fillTree();
    void refillReplacesNodesAndExpandsAgain();
    void nodeIndexesFollowOrderOfAddition();
    void fullPaths();
    void childrenShowTheirGroupsPicture();
    void nodeColoursAreSettableAndResetByRefill();
    void finishedLabelEditIsReportedNotApplied();
    void abandonedLabelEditReportsNothing();
    void groupLabelsAreNotEditable();
    void updateGivesWhatAFillGives_data();
    void updateGivesWhatAFillGives();
    void updateLeavesIndexesOfOtherNodesRight();
    void updateUnselectsAndResetsNodeColours();
    void updateOfNodesThatDoNotMatchTheirBlocksFills();
};

void TestSelectorTree::fillTree_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QStringList>("elements");
    QTest::addColumn<QStringList>("classes");
    QTest::addColumn<QStringList>("ids");

    QTest::newRow("empty sheet: three empty groups")
        << QString() << QStringList() << QStringList() << QStringList();
    QTest::newRow("children in document order")
        << QStringLiteral("h1 {}\r\n.note {}\r\nbody {}\r\n#main {}\r\nP.x {}\r\nDIV#y {}")
        << QStringList{"h1", "body"} << QStringList{".note", "P.x"} << QStringList{"#main", "DIV#y"};
    QTest::newRow("equal selectors give two nodes")
        << QStringLiteral(".a {}\r\n.a {}") << QStringList() << QStringList{".a", ".a"}
        << QStringList();
    QTest::newRow("grouped and empty selectors")
        << QStringLiteral("H1, H2 {}\r\nh3\r\n{}") << QStringList{"H1,H2", ""} << QStringList()
        << QStringList();
}

void TestSelectorTree::fillTree()
{
    QFETCH(QString, sheet);
    QFETCH(QStringList, elements);
    QFETCH(QStringList, classes);
    QFETCH(QStringList, ids);

    SelectorTree tree;
    QAbstractItemModelTester tester(tree.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    Root blocks;
    ScanBlocks(TextModel(sheet), ElementNames(), blocks);
    tree.FillTree(blocks);

    const QAbstractItemModel *model = tree.model();
    QCOMPARE(model->rowCount(), 3);
    const QStringList groups = {model->index(0, 0).data().toString(),
                                model->index(1, 0).data().toString(),
                                model->index(2, 0).data().toString()};
    QCOMPARE(groups, QStringList({"Elements", "Classes", "IDs"}));
    for (int g = 0; g < 3; ++g)
        QVERIFY2(tree.isExpanded(model->index(g, 0)), qPrintable(groups[g]));
    QCOMPARE(childTexts(tree, 0), elements);
    QCOMPARE(childTexts(tree, 1), classes);
    QCOMPARE(childTexts(tree, 2), ids);
    QCOMPARE(tree.selectedNode(), 0);
}

void TestSelectorTree::refillReplacesNodesAndExpandsAgain()
{
    SelectorTree tree;
    QAbstractItemModelTester tester(tree.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    tree.FillTree(rootOf({{"Element", "p"}, {"Class", ".a"}, {"ID", "#b"}}));
    tree.collapse(tree.model()->index(1, 0));
    tree.setCurrentIndex(tree.indexOfNode(4));
    QCOMPARE(tree.selectedNode(), 4);

    tree.FillTree(rootOf({{"Class", ".z"}}));
    QCOMPARE(childTexts(tree, 0), QStringList());
    QCOMPARE(childTexts(tree, 1), QStringList{".z"});
    QCOMPARE(childTexts(tree, 2), QStringList());
    QVERIFY(tree.isExpanded(tree.model()->index(1, 0)));
    QCOMPARE(tree.selectedNode(), 0);
    QCOMPARE(tree.selectorModel()->nodeCount(), 4);
}

void TestSelectorTree::nodeIndexesFollowOrderOfAddition()
{
    // Kinds are compared exactly: "element" and "Other" get no node, so the nodes after
    // them no longer line up with their blocks, as the numbering by addition implies.
    const Root blocks = rootOf({{"ID", "#a"}, {"Element", "p"}, {"Class", ".c"},
                                {"Element", "em"}, {"element", "lower"}, {"Other", "x"},
                                {"Class", ".d"}});
    SelectorTree tree;
    tree.FillTree(blocks);
    const SelectorTreeModel *model = tree.selectorModel();
    QCOMPARE(model->nodeCount(), 8);

    QStringList texts;
    for (int node = 1; node <= model->nodeCount(); ++node) {
        const QModelIndex index = tree.indexOfNode(node);
        QVERIFY(index.isValid());
        QCOMPARE(tree.nodeIndex(index), node);
        texts << index.data().toString();
    }
    QCOMPARE(texts, QStringList({"Elements", "Classes", "IDs", "#a", "p", ".c", "em", ".d"}));
    // While every block has a node, node k stands for block k - 3.
    for (int k = 4; k <= 7; ++k)
        QCOMPARE(tree.indexOfNode(k).data().toString(), blocks.Item(k - 3).ID());

    QVERIFY(!tree.indexOfNode(0).isValid());
    QVERIFY(!tree.indexOfNode(9).isValid());
    QCOMPARE(tree.nodeIndex(QModelIndex()), 0);
}

void TestSelectorTree::fullPaths()
{
    SelectorTree tree;
    tree.FillTree(rootOf({{"Class", ".note"}, {"Element", "h1"}, {"ID", "#m"}}));
    QCOMPARE(tree.fullPath(tree.indexOfNode(1)), QStringLiteral("Elements"));
    QCOMPARE(tree.fullPath(tree.indexOfNode(2)), QStringLiteral("Classes"));
    QCOMPARE(tree.fullPath(tree.indexOfNode(3)), QStringLiteral("IDs"));
    QCOMPARE(tree.fullPath(tree.indexOfNode(4)), QStringLiteral("Classes\\.note"));
    QCOMPARE(tree.fullPath(tree.indexOfNode(5)), QStringLiteral("Elements\\h1"));
    QCOMPARE(tree.fullPath(tree.indexOfNode(6)), QStringLiteral("IDs\\#m"));
    QCOMPARE(tree.fullPath(QModelIndex()), QString());
    QCOMPARE(tree.selectorModel()->groupIndex(QStringLiteral("IDs")), tree.indexOfNode(3));
    QVERIFY(!tree.selectorModel()->groupIndex(QStringLiteral("ids")).isValid());
}

void TestSelectorTree::childrenShowTheirGroupsPicture()
{
    SelectorTree tree;
    const QIcon element = solidIcon(Qt::red);
    const QIcon klass = solidIcon(Qt::green);
    const QIcon id = solidIcon(Qt::blue);
    tree.FillTree(rootOf({{"ID", "#a"}, {"Element", "p"}, {"Class", ".c"}}));
    QSignalSpy changed(tree.model(), &QAbstractItemModel::dataChanged);
    tree.setPictures(element, klass, id);
    QVERIFY(changed.count() > 0);

    auto pictureKey = [&](int node) {
        return tree.indexOfNode(node).data(Qt::DecorationRole).value<QIcon>().cacheKey();
    };
    QCOMPARE(pictureKey(1), element.cacheKey());
    QCOMPARE(pictureKey(2), klass.cacheKey());
    QCOMPARE(pictureKey(3), id.cacheKey());
    QCOMPARE(pictureKey(4), id.cacheKey());
    QCOMPARE(pictureKey(5), element.cacheKey());
    QCOMPARE(pictureKey(6), klass.cacheKey());
    // Pictures outlive a refill.
    tree.FillTree(rootOf({{"Class", ".x"}}));
    QCOMPARE(pictureKey(4), klass.cacheKey());
}

void TestSelectorTree::nodeColoursAreSettableAndResetByRefill()
{
    SelectorTree tree;
    const Root blocks = rootOf({{"Element", "p"}, {"Element", "em"}});
    tree.FillTree(blocks);
    QAbstractItemModel *model = tree.model();
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);

    QVERIFY(model->setData(tree.indexOfNode(5), QColor(147, 160, 112), Qt::BackgroundRole));
    QVERIFY(model->setData(tree.indexOfNode(5), QColor(Qt::white), Qt::ForegroundRole));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.first().at(0).value<QModelIndex>(), tree.indexOfNode(5));
    QCOMPARE(tree.indexOfNode(5).data(Qt::BackgroundRole).value<QColor>(), QColor(147, 160, 112));
    QCOMPARE(tree.indexOfNode(5).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
    QVERIFY(!tree.indexOfNode(4).data(Qt::BackgroundRole).isValid());

    // Clearing with an invalid value falls back to the view's palette.
    QVERIFY(model->setData(tree.indexOfNode(5), QVariant(), Qt::ForegroundRole));
    QVERIFY(!tree.indexOfNode(5).data(Qt::ForegroundRole).isValid());

    tree.FillTree(blocks);
    QVERIFY(!tree.indexOfNode(5).data(Qt::BackgroundRole).isValid());
}

void TestSelectorTree::finishedLabelEditIsReportedNotApplied()
{
    // A refill under a still-open editor makes the view warn about a foreign editor.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    SelectorTree tree;
    const Root blocks = rootOf({{"Element", "p"}, {"Class", ".old"}});
    tree.FillTree(blocks);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));

    QSignalSpy edited(&tree, &SelectorTree::labelEdited);
    // The owner renames in the text and refills from inside the signal, as the editor
    // does; the view must survive the model reset under its open editor.
    Root renamed = rootOf({{"Element", "p"}, {"Class", ".new"}});
    connect(&tree, &SelectorTree::labelEdited, &tree, [&] { tree.FillTree(renamed); });

    tree.editNode(5);
    QVERIFY(tree.isEditingLabel());
    auto *editor = tree.viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral(".old"));
    editor->setText(QStringLiteral(".new"));
    // The delegate commits from the event loop after the key press.
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(edited.count(), 1);
    QCOMPARE(edited.first().at(0).toInt(), 5);
    QCOMPARE(edited.first().at(1).toString(), QStringLiteral(".new"));
    QCOMPARE(childTexts(tree, 1), QStringList{".new"});
    QVERIFY(!tree.isEditingLabel());
}

void TestSelectorTree::abandonedLabelEditReportsNothing()
{
    SelectorTree tree;
    tree.FillTree(rootOf({{"Class", ".old"}}));
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QSignalSpy edited(&tree, &SelectorTree::labelEdited);

    tree.editNode(4);
    auto *editor = tree.viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(QStringLiteral(".typed"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(!tree.isEditingLabel());
    QCoreApplication::processEvents();
    QCOMPARE(edited.count(), 0);
    QCOMPARE(childTexts(tree, 1), QStringList{".old"});
}

void TestSelectorTree::groupLabelsAreNotEditable()
{
    SelectorTree tree;
    tree.FillTree(rootOf({{"Class", ".a"}}));
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QSignalSpy edited(&tree, &SelectorTree::labelEdited);

    tree.editNode(2);
    QVERIFY(!tree.isEditingLabel());
    // F2 on a selected group starts nothing either.
    tree.setFocus();
    tree.setCurrentIndex(tree.indexOfNode(2));
    QTest::keyClick(&tree, Qt::Key_F2);
    QVERIFY(!tree.isEditingLabel());
    // A label written to a group through the model is not a rename.
    QVERIFY(!tree.model()->setData(tree.indexOfNode(2), QStringLiteral("X"), Qt::EditRole));
    QCOMPARE(edited.count(), 0);
    QCOMPARE(tree.indexOfNode(2).data().toString(), QStringLiteral("Classes"));
    // F2 on a selector node does start editing.
    tree.setCurrentIndex(tree.indexOfNode(4));
    QTest::keyClick(&tree, Qt::Key_F2);
    QVERIFY(tree.isEditingLabel());
}

void TestSelectorTree::updateGivesWhatAFillGives_data()
{
    QTest::addColumn<KindsAndIds>("before");
    QTest::addColumn<KindsAndIds>("after");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("added");

    const KindsAndIds three = {{"Element", "p"}, {"Class", ".a"}, {"ID", "#b"}};
    QTest::newRow("nothing changed") << three << three << 0 << 3 << 3;
    QTest::newRow("nothing replaced") << three << three << 1 << 0 << 0;
    QTest::newRow("a label changed")
        << three << KindsAndIds{{"Element", "p"}, {"Class", ".z"}, {"ID", "#b"}} << 1 << 1 << 1;
    QTest::newRow("a kind changed: the node moves to another group")
        << three << KindsAndIds{{"Element", "p"}, {"ID", "#a"}, {"ID", "#b"}} << 1 << 1 << 1;
    QTest::newRow("a block inserted before nodes of every group")
        << three << KindsAndIds{{"Class", ".n"}, {"Element", "p"}, {"Class", ".a"}, {"ID", "#b"}} << 0 << 0 << 1;
    QTest::newRow("blocks removed from two groups")
        << three << KindsAndIds{{"ID", "#b"}} << 0 << 2 << 0;
    QTest::newRow("many replaced by few, in a wide range")
        << KindsAndIds{{"Element", "a"}, {"Class", ".b"}, {"Element", "c"}, {"ID", "#d"}, {"Class", ".e"}}
        << KindsAndIds{{"Element", "a"}, {"Element", "x"}, {"Class", ".e"}} << 0 << 5 << 3;
    QTest::newRow("into an empty tree") << KindsAndIds{} << three << 0 << 0 << 3;
    QTest::newRow("everything removed") << three << KindsAndIds{} << 0 << 3 << 0;
}

void TestSelectorTree::updateGivesWhatAFillGives()
{
    QFETCH(KindsAndIds, before);
    QFETCH(KindsAndIds, after);
    QFETCH(int, first);
    QFETCH(int, removed);
    QFETCH(int, added);

    SelectorTree tree;
    QAbstractItemModelTester tester(tree.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    tree.FillTree(rootOf(before));
    QSignalSpy reset(tree.model(), &QAbstractItemModel::modelReset);
    tree.updateTree(rootOf(after), BlockSplice{first, removed, added});
    QCOMPARE(reset.count(), 0);

    SelectorTree filled;
    filled.FillTree(rootOf(after));
    QCOMPARE(treeNodes(tree), treeNodes(filled));
    for (int g = 0; g < 3; ++g) {
        QCOMPARE(childTexts(tree, g), childTexts(filled, g));
        QVERIFY(tree.isExpanded(tree.model()->index(g, 0)));
    }
}

void TestSelectorTree::updateLeavesIndexesOfOtherNodesRight()
{
    // Indexes the view keeps (its current node, say) name their node by group and row:
    // nodes added in front of it in another group must not move it to another label.
    SelectorTree tree;
    QAbstractItemModelTester tester(tree.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    tree.FillTree(rootOf({{"Element", "p"}, {"Class", ".a"}, {"ID", "#b"}}));
    const QPersistentModelIndex id(tree.indexOfNode(6));
    const QPersistentModelIndex klass(tree.indexOfNode(5));
    QCOMPARE(id.data().toString(), QStringLiteral("#b"));

    tree.updateTree(rootOf({{"Element", "p"}, {"Element", "em"}, {"Class", ".n"}, {"Class", ".a"}, {"ID", "#b"}}),
                    BlockSplice{1, 0, 2});
    QVERIFY(id.isValid());
    QCOMPARE(id.data().toString(), QStringLiteral("#b"));
    QCOMPARE(tree.nodeIndex(id), 8);
    QCOMPARE(klass.data().toString(), QStringLiteral(".a"));
    QCOMPARE(tree.nodeIndex(klass), 7);
}

void TestSelectorTree::updateUnselectsAndResetsNodeColours()
{
    // As after a fill: no node selected, no node coloured.
    SelectorTree tree;
    const Root blocks = rootOf({{"Element", "p"}, {"Class", ".a"}});
    tree.FillTree(blocks);
    tree.setCurrentIndex(tree.indexOfNode(5));
    QVERIFY(tree.model()->setData(tree.indexOfNode(4), QColor(Qt::red), Qt::BackgroundRole));
    QCOMPARE(tree.selectedNode(), 5);
    tree.updateTree(blocks, BlockSplice{});
    QCOMPARE(tree.selectedNode(), 0);
    QVERIFY(!tree.indexOfNode(4).data(Qt::BackgroundRole).isValid());
}

void TestSelectorTree::updateOfNodesThatDoNotMatchTheirBlocksFills()
{
    // A block of another kind has no node, so nodes and blocks no longer line up: the
    // tree is filled anew, with the same result.
    SelectorTree tree;
    tree.FillTree(rootOf({{"Element", "p"}, {"Other", "x"}, {"Class", ".a"}}));
    QSignalSpy reset(tree.model(), &QAbstractItemModel::modelReset);
    const Root after = rootOf({{"Element", "p"}, {"Other", "x"}, {"Class", ".b"}});
    tree.updateTree(after, BlockSplice{2, 1, 1});
    QCOMPARE(reset.count(), 1);
    QCOMPARE(childTexts(tree, 1), QStringList{".b"});
}

QTEST_MAIN(TestSelectorTree)
#include "tst_selectortree.moc"
