#include "questionsfixture.h"
#include "testwindow.h"

#include "engine/tickedanswer.h"

#include <QLineEdit>
#include <QListView>
#include <QTest>

using questions::StateList;

namespace {

// The default base with two questions of many states after its own two: HOTE, 40 hosts,
// and PAYS, 200 countries, both on a grid far too small for the 240 x 180 picture of
// choices. Species 0 lives on host 3 in Île-de-France (country 1); PAYS depends on host 3.
class StateListTest : public QuestionsTest {
protected:
    static constexpr int Hosts = 5, Countries = 45;  // their first states
    void SetUp() override {
        QStringList tips{"a1", "a2", "p1", "p2", "p3"};
        addQuestion("HOTE", 40, 5, 8, tips, [](int k) {
            return k == 2 ? QStringLiteral("Œillet des Chartreux")
                          : QStringLiteral("host %1").arg(k + 1);
        });
        addQuestion("PAYS", 200, 10, 20, tips, [](int k) {
            return k == 0   ? QStringLiteral("Île-de-France")
                   : k == 1 ? QStringLiteral("<b>ile</b> & Co")
                            : QStringLiteral("country %1").arg(k + 1);
        });
        base.stateTips = tips;
        base.dependencies.push_back({"HOTE_3", "PAYS"});
    }
    template <typename Text>
    void addQuestion(const QString& key, int states, int rows, int columns, QStringList& tips,
                     Text text) {
        const int first = int(base.stateCodes.size());
        const int desc = int(base.objects.size());
        base.objects.push_back(
            {key, rows, columns, first, states, -1, desc, key, key.toLower() + ".bmp", true});
        for (int k = 0; k < states; ++k) {
            base.stateCodes << QStringLiteral("%1_%2").arg(key).arg(k + 1);
            tips << text(k);
            base.weights.push_back(1);
            for (int s = 0; s < 3; ++s) base.matrix.push_back(s == 0 && (k == 2 || k == 0) ? 1 : 0);
        }
        base.parameters["Nb_Etats_Desc"] = QString::number(base.stateCodes.size());
    }
    TestWindow& open() {
        load();
        window = std::make_unique<TestWindow>(*engine, model, dialogs, base.dataDir());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    StateList* list() { return window->Pic_Choix->findChild<StateList*>(); }
    bool listShown() { return list() && list()->isVisible(); }
    void type(const QString& text) { QTest::keyClicks(list()->filterField(), text); }
    void key(Qt::Key k) { QTest::keyClick(list()->filterField(), k); }
    QStringList shownTexts() {
        QStringList out;
        for (int r = 0; r < list()->view()->model()->rowCount(); ++r)
            out << list()->view()->model()->index(r, 0).data().toString();
        return out;
    }
    std::vector<int> chosen(int first, int count) {
        std::vector<int> out;
        for (int k = 0; k < count; ++k)
            if (engine->state().StateChoice[size_t(first + k)]) out.push_back(k);
        return out;
    }

    std::unique_ptr<TestWindow> window;
};

TEST_F(StateListTest, AFewStatesKeepTheirPictureManyAreAList) {
    TestWindow& w = open();
    w.controller.Barre_Deter_ButtonClick(0, "AILE");
    EXPECT_TRUE(w.Pic_Choix->isVisible());
    EXPECT_FALSE(listShown());
    w.controller.Barre_Question_ButtonClick(3);
    w.controller.Barre_Deter_ButtonClick(0, "HOTE");
    ASSERT_TRUE(listShown());
    EXPECT_EQ(list()->geometry(), w.Pic_Choix->rect());
    EXPECT_EQ(list()->view()->model()->rowCount(), 40);
    EXPECT_TRUE(list()->filterField()->hasFocus());
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Question);
    w.controller.Barre_Question_ButtonClick(3);
    // Back to a small question: its picture again, no list left over it.
    w.controller.Barre_Deter_ButtonClick(0, "AILE");
    EXPECT_FALSE(listShown());
}

TEST_F(StateListTest, TheRuleFollowsTheCellSizeAndAQuestionWithoutPictureIsAList) {
    EXPECT_FALSE(StateList::wanted(6, 2, 3, {600, 400}, true));
    EXPECT_TRUE(StateList::wanted(40, 8, 5, {600, 400}, true));    // 120 x 50 cells
    EXPECT_FALSE(StateList::wanted(40, 8, 5, {1000, 800}, true));  // 200 x 100
    EXPECT_TRUE(StateList::wanted(2, 1, 2, {600, 400}, false));
    EXPECT_TRUE(StateList::wanted(3, 0, 0, {600, 400}, true));
    base.objects[0].popup.clear();
    TestWindow& w = open();
    w.controller.Barre_Deter_ButtonClick(0, "AILE");
    ASSERT_TRUE(listShown());
    EXPECT_EQ(shownTexts(), QStringList({"a1", "a2"}));
    EXPECT_TRUE(dialogs.asked.empty());
}

TEST_F(StateListTest, TheFilterIgnoresCaseAndAccentsAndShowsMarkupAsText) {
    open();
    window->controller.Barre_Deter_ButtonClick(0, "PAYS");
    ASSERT_TRUE(listShown());
    EXPECT_EQ(list()->view()->model()->rowCount(), 200);
    type("ILE");
    EXPECT_EQ(shownTexts(), QStringList({"Île-de-France", "<b>ile</b> & Co"}));
    list()->filterField()->clear();
    type("country 19");  // every word anywhere: "country 119" too
    EXPECT_EQ(list()->shownCells(),
              (std::vector<int>{18, 118, 189, 190, 191, 192, 193, 194, 195, 196, 197, 198}));
    list()->filterField()->clear();
    type("oeillet");  // nothing in this question
    EXPECT_TRUE(list()->shownCells().empty());
    window->controller.Barre_Question_ButtonClick(3);
    window->controller.Barre_Deter_ButtonClick(0, "HOTE");
    type("oeillet chart");
    EXPECT_EQ(list()->shownCells(), std::vector<int>{2});
}

TEST_F(StateListTest, TickedStatesAreConfirmedWithEnterAndUndoneAsOneAnswer) {
    TestWindow& w = open();
    w.controller.Barre_Deter_ButtonClick(0, "HOTE");
    ASSERT_TRUE(listShown());
    type("oeil");
    key(Qt::Key_Down);  // the cursor stays on the one state shown
    list()->filterField()->clear();
    key(Qt::Key_Space);  // ticks the state under the cursor: host 3
    list()->setTicked(0, true);
    const int refreshes = w.refreshes;
    key(Qt::Key_Return);
    EXPECT_EQ(chosen(Hosts, 40), (std::vector<int>{0, 2}));
    EXPECT_EQ(w.refreshes, refreshes + 1);
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    // Species 0 shows hosts 1 and 3: it leads with both answers counted.
    EXPECT_EQ(engine->state().RankTable.species[0], 0);
    EXPECT_EQ(engine->state().RankPercent[0], 100);
    // Reopened, the list shows the answer ticked; Escape leaves it as it was.
    w.controller.Barre_Deter_ButtonClick(0, "HOTE");
    EXPECT_EQ(list()->tickedCells(), (std::vector<int>{0, 2}));
    list()->setTicked(0, false);
    key(Qt::Key_Escape);
    EXPECT_EQ(chosen(Hosts, 40), (std::vector<int>{0, 2}));
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    ASSERT_TRUE(engine->undo());
    EXPECT_TRUE(chosen(Hosts, 40).empty());
}

TEST_F(StateListTest, AStateGivenUpClearsItsDependantsAStateKeptKeepsThem) {
    TestWindow& w = open();
    w.controller.Barre_Deter_ButtonClick(0, "HOTE");
    list()->setTicked(2, true);
    list()->setTicked(5, true);
    key(Qt::Key_Enter);
    w.controller.Barre_Deter_ButtonClick(0, "PAYS");
    list()->setTicked(0, true);
    key(Qt::Key_Return);
    ASSERT_EQ(chosen(Countries, 200), std::vector<int>{0});
    // Host 6 given up, host 3 kept: the country stays.
    w.controller.Barre_Deter_ButtonClick(0, "HOTE");
    list()->setTicked(5, false);
    key(Qt::Key_Return);
    EXPECT_EQ(chosen(Hosts, 40), std::vector<int>{2});
    EXPECT_EQ(chosen(Countries, 200), std::vector<int>{0});
    // Host 3 given up: the country that depends on it goes.
    w.controller.Barre_Deter_ButtonClick(0, "HOTE");
    list()->setTicked(2, false);
    list()->setTicked(7, true);
    key(Qt::Key_Return);
    EXPECT_EQ(chosen(Hosts, 40), std::vector<int>{7});
    EXPECT_TRUE(chosen(Countries, 200).empty());
    // Nothing ticked withdraws the answer.
    w.controller.Barre_Deter_ButtonClick(0, "HOTE");
    list()->setTicked(7, false);
    key(Qt::Key_Return);
    EXPECT_TRUE(chosen(Hosts, 40).empty());
}

}  // namespace
