#include "framework/View.h"

#include "framework/Document.h"

namespace fw {

View::~View()
{
    if (m_document)
        m_document->removeView(this);
}

} // namespace fw
