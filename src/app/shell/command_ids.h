#pragma once
// The command numbers of the menus, toolbar, accelerators and the tree's context menu. They keep
// the numbers of the gateway vendor's resources so that prompts and logs line up with them.

namespace veltrane {

enum class CommandId : int {
    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    AppExit = 57665,
    Undo = 57643,
    Redo = 57644,
    AddNode = 32771,
    DeleteNode = 32772,
    AddCommand = 32773,
    DeleteCommand = 32774,
    ContextAddNode = 32781,
    ContextDeleteNode = 32782,
    ContextAddCommand = 32783,
    ContextDeleteCommand = 32784,
    CopyNode = 32790,
    PasteNode = 32791,
    SerialConnection = 32775,
    EthernetConnection = 32789,
    Upload = 32776,
    Download = 32777,
    CalculateMapping = 32792,
    ConflictDetection = 32779,
    ExportExcel = 32780,
    Debug = 32787,
    Content = 32786,
    About = 57664,
    // Commands of this tool's own, numbered above the vendor's.
    ExportCommands = 33000,
    ImportCommands = 33001,
    NewForGateway = 33002,
    CompareGateway = 33003,
};

} // namespace veltrane
