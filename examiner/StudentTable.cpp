#include "StudentTable.h"

#include <algorithm>

namespace {

int IndexIn(const TNet& students, const QString& name) {
    for (int k = 0; k < students.size(); ++k)
        if (students.at(k).Name.compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

int IndexFromIn(const TNet& students, const QString& name, const QString& address) {
    const int k = IndexIn(students, name);
    return k >= 0 && students.at(k).HostAddr == address ? k : -1;
}

TClient Registered(const QString& name, const QString& address) {
    TClient c;
    c.Name = name;
    c.HostAddr = address;
    return c;
}

} // namespace

int TStudentTable::IndexOf(const QString& name) const {
    return IndexIn(S.Students, name);
}

int TStudentTable::IndexFrom(const QString& name, const QString& address) const {
    return IndexFromIn(S.Students, name, address);
}

QString TStudentTable::RegisteredName(const QString& name, const QString& address) const {
    if (const int k = IndexFromIn(S.Students, name, address); k >= 0)
        return S.Students.at(k).Name;
    const int k = IndexFromIn(aside_, name, address);
    return k >= 0 ? aside_.at(k).Name : QString();
}

bool TStudentTable::HasAddress(const QString& address) const {
    return std::any_of(S.Students.cbegin(), S.Students.cend(),
                       [&](const TClient& c) { return c.HostAddr == address; });
}

TAdmission TStudentTable::Admit(const QString& name, const QString& address) const {
    return Admission(S.Students, name, address);
}

TAdmission TStudentTable::AdmitAside(const QString& name, const QString& address) const {
    return Admission(aside_, name, address);
}

QString TStudentTable::AddressOf(const QString& name, bool aside) const {
    const TNet& students = aside ? aside_ : S.Students;
    const int k = IndexIn(students, name);
    return k >= 0 ? students.at(k).HostAddr : QString();
}

TAdmission TStudentTable::Admission(const TNet& students, const QString& name, const QString& address) {
    if (name.isEmpty())
        return TAdmission::EmptyName;
    // Control characters would break the lines of a results archive (and a box's text).
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return TAdmission::ControlCharacter;
    if (name.size() > kMaxNameLength)
        return TAdmission::NameTooLong;
    if (const int k = IndexIn(students, name); k >= 0)
        return students.at(k).HostAddr == address ? TAdmission::Known : TAdmission::NameTaken;
    if (students.size() >= kMaxStudents)
        return TAdmission::TableFull;
    int fromAddress = 0;
    for (const TClient& c : students)
        if (c.HostAddr == address)
            ++fromAddress;
    if (fromAddress >= kMaxNamesPerAddress)
        return TAdmission::AddressFull;
    return TAdmission::Admitted;
}

int TStudentTable::Append(const QString& name, const QString& address) {
    S.Students.append(Registered(name, address));
    S.StudentCount = static_cast<qint32>(S.Students.size());
    Changed();
    return S.StudentCount - 1;
}

bool TStudentTable::RemoveAt(int k) {
    if (k < 0 || k >= S.Students.size())
        return false;
    S.Students.removeAt(k);
    S.StudentCount = static_cast<qint32>(S.Students.size());
    Changed();
    return true;
}

void TStudentTable::Assign(const TNet& students) {
    S.Students = students;
    S.StudentCount = static_cast<qint32>(S.Students.size());
    Changed();
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

void TStudentTable::Changed() const {
    if (changed_)
        changed_();
}

bool TStudentTable::RemovalPending(const QString& name) const {
    for (const TPending& p : pending_)
        if (p.remove && p.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void TStudentTable::PutAside() {
    for (const TClient& c : S.Students)
        KeepAside(c.Name, c.HostAddr);
}

void TStudentTable::KeepAside(const QString& name, const QString& address) {
    aside_.append(Registered(name, address));
}

QString TStudentTable::DropAside(const QString& name, const QString& address) {
    const int k = IndexFromIn(aside_, name, address);
    if (k < 0)
        return {};
    return aside_.takeAt(k).Name;
}

TNet TStudentTable::TakeAside() {
    TNet out;
    out.swap(aside_);
    return out;
}
