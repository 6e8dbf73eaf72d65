#pragma once
// Helpers that build property-table entries from getters and setters of the
// model classes, converting between the C++ types and PropValue.
#include "report/component.h"

#include <QPointer>
#include <type_traits>

namespace cm::props {

template <class T> struct IsQPointer : std::false_type {};
template <class T> struct IsQPointer<QPointer<T>> : std::true_type { using Pointee = T; };

template <class V>
PropValue toValue(const V& v)
{
    using D = std::decay_t<V>;
    if constexpr (std::is_same_v<D, bool>) return v;
    else if constexpr (std::is_enum_v<D>) return static_cast<int64_t>(v);
    else if constexpr (std::is_integral_v<D>) return static_cast<int64_t>(v);
    else if constexpr (std::is_floating_point_v<D>) return static_cast<Extended>(v);
    else if constexpr (std::is_same_v<D, QString>) return v;
    else if constexpr (std::is_same_v<D, SetBits>) return v;
    else if constexpr (std::is_same_v<D, EventName>) return v;
    else if constexpr (std::is_pointer_v<D>) return static_cast<Component*>(v);
    else if constexpr (IsQPointer<D>::value) return static_cast<Component*>(v.data());
    else static_assert(sizeof(D) == 0, "unsupported property type");
}

template <class A>
bool fromValue(const PropValue& pv, A& out)
{
    using D = std::decay_t<A>;
    if constexpr (std::is_same_v<D, bool>) {
        if (auto* b = std::get_if<bool>(&pv)) { out = *b; return true; }
        return false;
    } else if constexpr (std::is_enum_v<D> || std::is_integral_v<D>) {
        if (auto* i = std::get_if<int64_t>(&pv)) { out = static_cast<D>(*i); return true; }
        return false;
    } else if constexpr (std::is_floating_point_v<D>) {
        if (auto* e = std::get_if<Extended>(&pv)) { out = static_cast<D>(*e); return true; }
        if (auto* i = std::get_if<int64_t>(&pv)) { out = static_cast<D>(*i); return true; }
        return false;
    } else if constexpr (std::is_same_v<D, QString>) {
        if (auto* s = std::get_if<QString>(&pv)) { out = *s; return true; }
        return false;
    } else if constexpr (std::is_same_v<D, SetBits> || std::is_same_v<D, EventName>) {
        if (auto* s = std::get_if<D>(&pv)) { out = *s; return true; }
        return false;
    } else if constexpr (std::is_pointer_v<D>) {
        auto* c = std::get_if<Component*>(&pv);
        if (!c) return false;
        if (!*c) { out = nullptr; return true; }
        auto* typed = dynamic_cast<D>(*c);
        if (!typed) return false;
        out = typed;
        return true;
    } else {
        static_assert(sizeof(D) == 0, "unsupported property type");
    }
}

template <class S> struct SetterArg;
template <class C, class R, class A> struct SetterArg<R (C::*)(A)> { using type = std::decay_t<A>; };

// A fluent wrapper so table rows read like the declaration list.
struct P {
    PropInfo info;
    P& def(int64_t v) { info.defaultValue = v; return *this; }
    P& never() { info.neverStored = true; return *this; }
    P& when(std::function<bool(const Persistent&)> f) { info.storedWhen = std::move(f); return *this; }
    P& type(const EnumType* e) { info.enumType = e; return *this; }
    // A short string: longer texts are cut when set and when written.
    P& shortString()
    {
        static constexpr qsizetype MaxShortString = 255;
        info.shortString = true;
        info.set = [set = info.set](Persistent& o, const PropValue& v) {
            if (const auto* s = std::get_if<QString>(&v); s && s->size() > MaxShortString)
                return set(o, PropValue(s->left(MaxShortString)));
            return set(o, v);
        };
        return *this;
    }
    operator PropInfo() const { return info; }   // NOLINT: rows convert implicitly
};

template <class C, class Getter, class Setter>
P prop(const char* name, PropKind kind, Getter getter, Setter setter)
{
    P p;
    p.info.name = name;
    p.info.kind = kind;
    p.info.get = [getter](const Persistent& o) -> PropValue {
        return toValue(std::invoke(getter, static_cast<const C&>(o)));
    };
    p.info.set = [setter](Persistent& o, const PropValue& v) -> bool {
        typename SetterArg<Setter>::type arg{};
        if (!fromValue(v, arg))
            return false;
        std::invoke(setter, static_cast<C&>(o), arg);
        return true;
    };
    return p;
}

// A plain data member (no side effects on change).
template <class C, class M>
P field(const char* name, PropKind kind, M C::*member)
{
    P p;
    p.info.name = name;
    p.info.kind = kind;
    p.info.get = [member](const Persistent& o) -> PropValue {
        return toValue(static_cast<const C&>(o).*member);
    };
    p.info.set = [member](Persistent& o, const PropValue& v) -> bool {
        if constexpr (IsQPointer<M>::value) {
            typename IsQPointer<M>::Pointee* ptr = nullptr;
            if (!fromValue(v, ptr))
                return false;
            static_cast<C&>(o).*member = ptr;
            return true;
        } else {
            return fromValue(v, static_cast<C&>(o).*member);
        }
    };
    return p;
}

template <class C>
P object(const char* name, const ClassInfo& subClass, std::function<Persistent*(C&)> access)
{
    P p;
    p.info.name = name;
    p.info.kind = PropKind::Object;
    p.info.subClass = &subClass;
    p.info.subObject = [access](Persistent& o) -> Persistent* { return access(static_cast<C&>(o)); };
    return p;
}

} // namespace cm::props

namespace cm::props {

// A member reached through an accessor (nested members such as d.groupID).
template <class C, class F>
P member(const char* name, PropKind kind, F access)
{
    using T = std::remove_reference_t<decltype(access(std::declval<C&>()))>;
    P p;
    p.info.name = name;
    p.info.kind = kind;
    p.info.get = [access](const Persistent& o) -> PropValue {
        return toValue(access(const_cast<C&>(static_cast<const C&>(o))));
    };
    p.info.set = [access](Persistent& o, const PropValue& v) -> bool {
        T& target = access(static_cast<C&>(o));
        if constexpr (IsQPointer<T>::value) {
            typename IsQPointer<T>::Pointee* ptr = nullptr;
            if (!fromValue(v, ptr))
                return false;
            target = ptr;
            return true;
        } else {
            return fromValue(v, target);
        }
    };
    return p;
}

// A value computed by getter and setter lambdas.
template <class C, class T>
P computed(const char* name, PropKind kind, std::function<T(const C&)> get,
           std::function<void(C&, T)> set)
{
    P p;
    p.info.name = name;
    p.info.kind = kind;
    p.info.get = [get](const Persistent& o) -> PropValue { return toValue(get(static_cast<const C&>(o))); };
    p.info.set = [set](Persistent& o, const PropValue& v) -> bool {
        T arg{};
        if (!fromValue(v, arg))
            return false;
        set(static_cast<C&>(o), arg);
        return true;
    };
    return p;
}

// Event properties hold handler names. This program's containers have no
// handler methods, so a stored name cannot be taken and only "none" is accepted.
template <class C, class F>
P eventProp(const char* name, F access)
{
    P p;
    p.info.name = name;
    p.info.kind = PropKind::Event;
    p.info.get = [access](const Persistent& o) -> PropValue {
        return access(const_cast<C&>(static_cast<const C&>(o)));
    };
    p.info.set = [access](Persistent& o, const PropValue& v) -> bool {
        const auto* e = std::get_if<EventName>(&v);
        if (!e || !e->handler.isEmpty())
            return false;
        access(static_cast<C&>(o)) = *e;
        return true;
    };
    return p;
}

} // namespace cm::props
