#pragma once
// Failures of program steps: the one way to run a step whose failure is passed
// over, and the one way to word a failure for the message that reports it.
#include <QString>
#include <exception>

// Runs paso and passes over its failure. True when it ran through.
template <typename Paso> bool Ignorando(Paso&& paso)
{
    try {
        paso();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// What a failure says, for a message to the user: the word processor's errors
// carry their Spanish description as their text.
QString TextoFallo(const std::exception& fallo);
