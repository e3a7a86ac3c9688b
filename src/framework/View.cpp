#include "framework/View.h"

#include "framework/Application.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"

namespace fw {

View::~View()
{
    if (m_document)
        m_document->removeView(this);
}

Application* View::application() const
{
    const DocTemplate* type = m_document ? m_document->docTemplate() : nullptr;
    return type ? type->application() : nullptr;
}

MdiMainFrame* View::mainFrame() const
{
    const Application* app = application();
    return app ? app->mainFrame() : nullptr;
}

} // namespace fw
