#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Information {

// Revision letter of the article.
class ArticleIndexValue final : public Interfaces::ModelDisplayValue<char>
{
public:
    ArticleIndexValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::ArticleIndex, 'A', 'A', 'Z', application, registry)
    {
    }
};

} // namespace Model::Database::Information
