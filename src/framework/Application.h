#pragma once

#include "framework/CommandTarget.h"
#include "framework/RecentFileList.h"

#include <QObject>

#include <memory>
#include <vector>

namespace fw {

class DocTemplate;
class Document;
class MdiMainFrame;

// The application object: registered document types, the main window, the
// recent-file list and the application-level commands (Open, the recent
// files, Exit).
class Application : public QObject, public CommandTarget {
    Q_OBJECT
public:
    Application(const QString& registryKey, const QString& appName, int recentFileCount);
    ~Application() override;


    void addDocTemplate(std::unique_ptr<DocTemplate> docTemplate);
    const std::vector<std::unique_ptr<DocTemplate>>& docTemplates() const { return m_templates; }

    MdiMainFrame* mainFrame() const { return m_mainFrame; }
    // The main window, which is told of its application.
    void setMainFrame(MdiMainFrame* frame);

    RecentFileList& recentFiles() { return m_recentFiles; }

    // Activates the window already showing the file, or opens it with the
    // document type that matches its extension best. Returns nullptr when it
    // cannot be opened (the reason has been shown to the user).
    Document* openDocumentFile(const QString& path);
    // The document type that would show the file (the one already showing
    // it, with *open set), or nullptr when none can.
    DocTemplate* templateFor(const QString& path, Document** open = nullptr) const;
    // The standard Open command: a file dialog with every type's filter.
    void onFileOpen();
    // Asks to save every modified document; false when the user cancelled.
    bool saveAllModified();
    // Closes every child window without asking (after saveAllModified).
    void closeAllDocuments();

private:
    std::vector<std::unique_ptr<DocTemplate>> m_templates;
    MdiMainFrame* m_mainFrame = nullptr;
    RecentFileList m_recentFiles;
};

} // namespace fw
