#include "StudentTable.h"

#include <algorithm>

int TStudentTable::IndexOf(const QString& name) const {
    for (int k = 0; k < S.Students.size(); ++k)
        if (S.Students.at(k).Name.compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

int TStudentTable::IndexFrom(const QString& name, const QString& address) const {
    const int k = IndexOf(name);
    return k >= 0 && S.Students.at(k).HostAddr == address ? k : -1;
}

bool TStudentTable::HasAddress(const QString& address) const {
    return std::any_of(S.Students.cbegin(), S.Students.cend(),
                       [&](const TClient& c) { return c.HostAddr == address; });
}

TAdmission TStudentTable::Admit(const QString& name, const QString& address) const {
    if (name.isEmpty())
        return TAdmission::EmptyName;
    // Control characters would break the lines of a results archive (and a box's text).
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return TAdmission::ControlCharacter;
    if (name.size() > kMaxNameLength)
        return TAdmission::NameTooLong;
    if (const int k = IndexOf(name); k >= 0)
        return S.Students.at(k).HostAddr == address ? TAdmission::Known : TAdmission::NameTaken;
    if (S.Students.size() >= kMaxStudents)
        return TAdmission::TableFull;
    int fromAddress = 0;
    for (const TClient& c : S.Students)
        if (c.HostAddr == address)
            ++fromAddress;
    if (fromAddress >= kMaxNamesPerAddress)
        return TAdmission::AddressFull;
    return TAdmission::Admitted;
}

int TStudentTable::Append(const QString& name, const QString& address) {
    TClient c;
    c.Name = name;
    c.HostAddr = address;
    S.Students.append(c);
    S.StudentCount = static_cast<qint32>(S.Students.size());
    return S.StudentCount - 1;
}

bool TStudentTable::RemoveAt(int k) {
    if (k < 0 || k >= S.Students.size())
        return false;
    S.Students.removeAt(k);
    S.StudentCount = static_cast<qint32>(S.Students.size());
    return true;
}

void TStudentTable::Assign(const TNet& students) {
    S.Students = students;
    S.StudentCount = static_cast<qint32>(S.Students.size());
}

QList<TStudentTable::TPending> TStudentTable::Release() {
    if (hold_ > 0)
        --hold_;
    if (hold_ > 0)
        return {};
    QList<TPending> out;
    out.swap(pending_);
    return out;
}

bool TStudentTable::RemovalPending(const QString& name) const {
    for (const TPending& p : pending_)
        if (p.remove && p.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
