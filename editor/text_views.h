#pragma once
// The editor's text as string lists: Paragraphs (one string per paragraph)
// and Lines (one per display line). Every change through a view is an
// ordinary edit of the editor (selection plus replacement), so undo, layout
// and repainting follow.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "textstore/stream.h"
#include "textstore/value_stream.h"

namespace tarvex {

class TDudiRiri;

class TDudiRiriStrings {
public:
    explicit TDudiRiriStrings(TDudiRiri& Memo) : Memo(Memo) {}
    virtual ~TDudiRiriStrings() = default;
    TDudiRiriStrings(const TDudiRiriStrings&) = delete;
    TDudiRiriStrings& operator=(const TDudiRiriStrings&) = delete;

    virtual std::int32_t Count() = 0;
    virtual std::string Get(std::int32_t I) = 0;
    virtual void Put(std::int32_t I, std::string_view S) = 0;
    virtual std::int32_t Add(std::string_view S) = 0;
    virtual void Insert(std::int32_t I, std::string_view S) = 0;
    virtual void Delete(std::int32_t I) = 0;

    // Wide forms: the same, converted between Unicode and Windows-1251.
    std::u16string GetWide(std::int32_t I);
    void PutWide(std::int32_t I, std::u16string_view S);
    void InsertWide(std::int32_t I, std::u16string_view S);

    // From another editor's view the text goes through a stream; from plain strings likewise.
    void Assign(TDudiRiriStrings& Source);
    void Assign(const std::vector<std::string>& Source);
    void SetUpdateState(bool Updating);

    std::string Text();
    void SetText(std::string_view S);
    void Clear();
    void LoadFromStream(TStream& S);
    // Writes Text (CR LF breaks, whatever the editor's own line break is).
    void SaveToStream(TStream& S);

    // Persistent form: the property "Strings", one string per paragraph; a
    // string ending in character 5 continues in the next one.
    void WriteTo(TValueWriter& W);
    void ReadFrom(TValueReader& R);

protected:
    TDudiRiri& Memo;
};

class TRiriParaStrings : public TDudiRiriStrings {
public:
    using TDudiRiriStrings::TDudiRiriStrings;
    std::int32_t Count() override;
    std::string Get(std::int32_t I) override;
    void Put(std::int32_t I, std::string_view S) override;
    std::int32_t Add(std::string_view S) override;
    void Insert(std::int32_t I, std::string_view S) override;
    void Delete(std::int32_t I) override;
};

class TRiriLinesStrings : public TDudiRiriStrings {
public:
    using TDudiRiriStrings::TDudiRiriStrings;
    std::int32_t Count() override;
    std::string Get(std::int32_t I) override;
    void Put(std::int32_t I, std::string_view S) override;
    std::int32_t Add(std::string_view S) override;
    void Insert(std::int32_t I, std::string_view S) override;
    void Delete(std::int32_t I) override;

private:
    void LaidOut();
};

}  // namespace tarvex
