#include "engine/engine.h"
#include "engine/questionlist.h"
#include "kb/basetexts.h"
#include "platform/stringtable.h"
#include "questions/charactertoolbars.h"
#include "questions/questioncontroller.h"
#include "questions/questionspanel.h"
#include "shell/mainwindow.h"

#include <QLabel>

namespace shell {

QString frmMain::baseTextLanguage() const {
    return kb::BaseTexts::languageOfCode(ctx_.strings.languageCode());
}

// The base's texts in other languages are read once; the toolbars ask them on every build,
// so the contradiction display and the rebuilds keep the language.
void frmMain::setUpBaseTexts() {
    QString error;
    baseTexts_ = kb::BaseTexts::load(ctx_.model.KnowledgeBase, &error);
    if (!error.isEmpty()) qWarning("%s", qPrintable(error));
    if (baseTexts_.isEmpty()) return;  // a base in one language shows its own texts only
    toolbars_->setTexts([this](bool questionBar, int row, bool tip, const QString& own) {
        return baseTexts_.text(baseTextLanguage(),
                               tip ? kb::BaseTexts::Kind::TipText : kb::BaseTexts::Kind::Caption,
                               kb::BaseTexts::buttonKey(questionBar, row), own);
    });
    ctx_.engine.setTextLanguage(baseTexts_, baseTextLanguage());
    questions_->setPictureLanguage(baseTextLanguage());
    relistQuestions();
}

// The panel follows answers in place with the texts it was made with: a new language makes
// it afresh.
void frmMain::relistQuestions() {
    if (!Panel_Questions) return;
    Panel_Questions->setSections(
        engine::questionSections(ctx_.engine.tables(), ctx_.engine.state()));
    refreshQuestionsPanel();
}

// After the options changed the language: every text of the base shown follows it.
void frmMain::applyBaseLanguage() {
    if (baseTexts_.isEmpty()) return;
    ctx_.engine.setTextLanguage(baseTexts_, baseTextLanguage());
    questions_->setPictureLanguage(baseTextLanguage());
    toolbars_->retranslate();
    relistQuestions();
    if (ViewMode == questions::ViewMode::Question) {
        Titre_Question->setText(ctx_.engine.question().ObjectTipText);
        setStatusText(ctx_.engine.question().ObjectTipText);
    }
}

}  // namespace shell
