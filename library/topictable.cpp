#include "topictable.h"

QString folderName(const QString &caption)
{
    return caption.left(4);
}

TopicTable::TopicTable()
{
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i].names = &kTopicNames[i];
        m_rows[i].caption = QString::fromUtf8(kTopicNames[i].caption);
    }
}

std::array<TopicRow *, kTopicCount> TopicTable::bySlot()
{
    std::array<TopicRow *, kTopicCount> rows{};
    for (TopicRow &row : m_rows)
        rows.at(std::size_t(row.slot())) = &row;
    return rows;
}
