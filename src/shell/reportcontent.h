#pragma once

#include "commands/identificationreport.h"
#include "platform/settings.h"

namespace engine {
class Engine;
}
namespace kb {
class Model;
}
namespace questions {
class LayerStack;
}

namespace shell {

// Gathers the identification report from the description and ranking as they stand, the
// drawing's layers, and the best species' own document (local documents only: a web page
// is not fetched for it). docSuffix is the language of the documents.
commands::ReportContent gatherReport(kb::Model& model, const engine::Engine& engine,
                                     const platform::Settings::Values& values,
                                     const questions::LayerStack& layers, const QString& docSuffix,
                                     const QString& language = {});

// The knowledge base's title ("Titre" of "Parametres") in `language` when "Textes" has it,
// else its own, else the name of its folder.
QString knowledgeBaseName(kb::Model& model, const QString& dataDir, const QString& language = {});

// The paragraphs of a local species document, markup dropped, headings marked with their
// level, rows of links (the document's navigation) left out; empty when the file is
// missing, unreadable, too large or outside the documents folder.
std::vector<commands::ReportContent::Line> documentLines(const QString& docAddress,
                                                         const QString& path);

}  // namespace shell
