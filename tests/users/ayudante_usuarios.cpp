// Another running copy of the program, as far as the user file goes: reads
// commands on stdin, one per line, and answers each with one line.
//   carga            load the user file (as at sign-in)
//   alta DNI CLAVE   register DNI with the password
//   existe DNI       is DNI registered
#include "shell/EstadoCompartido.h"
#include "users/Validacion.h"

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    estado().strRutaPrograma = QString::fromLocal8Bit(argv[1]);
    std::string linea;
    while (std::getline(std::cin, linea)) {
        std::istringstream partes(linea);
        std::string orden, dni, clave;
        partes >> orden >> dni >> clave;
        bool bien = false;
        if (orden == "carga")
            bien = Validacion::CargaUsuarios(Validacion::PrepararUsuarios(estado().strRutaPrograma)).bien;
        else if (orden == "alta")
            bien = Validacion::AltaUsuario(QString::fromStdString(dni), QString::fromStdString(clave)).bien;
        else if (orden == "existe")
            bien = Validacion::ExisteUsuario(QString::fromStdString(dni));
        std::cout << (bien ? "si" : "no") << std::endl;
    }
    return 0;
}
