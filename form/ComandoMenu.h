#pragma once
// The form's menu commands, by the index of their item in the form's mnuP.
namespace ComandoMenu {
enum Indice : int {
    Imprimir = 1000,
    Guardar = 2000,
    CargarOtra = 2500, // "Cargar otra solicitud"
    Salir = 3000,
    Ayuda = 4000,
    CambiarContrasena = 5000, // "Cambiar contraseña"
};
} // namespace ComandoMenu
