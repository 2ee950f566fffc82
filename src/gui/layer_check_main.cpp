// The entry point of the layer-check programs (see CMakeLists.txt): they are linked, never
// run. Linking pulls in every object of one GUI folder, so each symbol the folder uses must
// come from the libraries it declares.
int main()
{
    return 0;
}
